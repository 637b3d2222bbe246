#include "renderer/gl_scene_painter.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace kovessa {

void SetupRenderState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glBlendFunc(GL_ONE, GL_ONE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
}

void ResizeScene(int32_t width, int32_t height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

namespace {

void DrawBackground(const FrameGeometry& frame, const SceneTextures& textures) {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.BackgroundTexture);
    glTranslatef(0.0f, 0.0f, -2.8f);
    glRotatef(frame.backgroundAngle, 0.0f, 0.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -0.9f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -0.9f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 0.9f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 0.9f, 0.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void ApplyCamera(const FrameGeometry& frame) {
    glTranslatef(0.0f, 0.0f, -31.0f);
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(frame.cameraAngle, 0.0f, 1.0f, 0.0f);
}

void DrawTrails(const FrameGeometry& frame) {
    for (int32_t i = 0; i < frame.count; ++i) {
        const TrailStrip& strip = frame.trails[i];
        glBegin(GL_LINE_STRIP);
        glColor3f(kTrailHeadColour.r, kTrailHeadColour.g, kTrailHeadColour.b);
        glVertex3f(strip.head.x, strip.head.y, strip.head.z);
        for (int j = 0; j < 5; ++j) {
            const Rgb& c = strip.innerColours[j];
            glColor3f(c.r, c.g, c.b);
            glVertex3iv(&strip.inner[j].X);
        }
        glColor3f(kTrailTailColour.r, kTrailTailColour.g, kTrailTailColour.b);
        glVertex3f(strip.tail.x, strip.tail.y, strip.tail.z);
        glEnd();
    }
}

void DrawGlows(const FrameGeometry& frame, const SceneTextures& textures) {
    glBindTexture(GL_TEXTURE_2D, textures.GlowTexture);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    for (int32_t i = 0; i < frame.count; ++i) {
        const GlowQuad& glow = frame.glows[i];
        const Vec3f& p = glow.centre;
        glColor3f(glow.colour.r, glow.colour.g, glow.colour.b);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(p.x - 0.5f, p.y - 0.5f, p.z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(p.x + 0.5f, p.y - 0.5f, p.z);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(p.x + 0.5f, p.y + 0.5f, p.z);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(p.x - 0.5f, p.y + 0.5f, p.z);
        glEnd();
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

} // namespace

void DrawScene(const FrameGeometry& frame, const SceneTextures& textures) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    if (frame.showBackground) {
        DrawBackground(frame, textures);
    }
    ApplyCamera(frame);
    // Trails are drawn untextured; the background pass left texturing off, but when it was
    // skipped the start state still has it on.
    glDisable(GL_TEXTURE_2D);
    DrawTrails(frame);
    DrawGlows(frame, textures);
}

} // namespace kovessa
