#include "controls/caption_layout.h"
#include "controls/command.h"
#include "controls/qt_face_pictures.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>
#include <tuple>

namespace kovessa::test {
namespace {

constexpr QRgb kFrameLight = 0xECE9D8, kFrameDark = 0xDCD6C2, kBlue = 0x003C74;

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// A host window with one button loaded from a stored design, shown and active.
struct Host {
    std::unique_ptr<QWidget> window;
    QWidget* other;
    Command* button;

    explicit Host(const char* design = "", QSize size = {73, 25}) {
        window = std::make_unique<QWidget>();
        window->resize(200, 100);
        // Something else holds the focus when the window becomes active.
        other = new QWidget(window.get());
        other->setFocusPolicy(Qt::StrongFocus);
        other->setGeometry(150, 80, 10, 10);
        button = new Command(window.get());
        button->ReadProperties(*PropertyBag::Parse(design));
        button->setGeometry(QRect(QPoint(40, 30), size));
        button->Initialize();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_TRUE(other->hasFocus());
    }
    QPoint Centre() const { return button->rect().center(); }
    // Puts the pointer over the button, where the pointer test will also find it.
    void Hover(QPoint at) const {
        // Qt drops a move to where the pointer already is, so arrive from beside it.
        QTest::mouseMove(button, at + QPoint(1, 0));
        QCursor::setPos(button->mapToGlobal(at));
        QTest::mouseMove(button, at);
    }
    void Leave() const { QCursor::setPos(window->mapToGlobal(QPoint(5, 5))); }
};

class DialogSizes : public ::testing::TestWithParam<std::tuple<int, int>> {};

// The real Normal picture around the gradient at the sizes of the dialog's buttons.
TEST_P(DialogSizes, NormalFaceBandAndGradient) {
    const auto [w, h] = GetParam();
    Host host("", QSize(w, h));
    const QImage face = host.button->FaceImage();
    ASSERT_EQ(face.size(), QSize(w, h));
    const RgbImage& picture = FacePictureImage(FacePicture::Normal);
    ASSERT_EQ(picture.width, 64);
    // Corners unscaled.
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(At(face, i, j), picture.At(i, j));
            EXPECT_EQ(At(face, w - 4 + i, h - 4 + j), picture.At(60 + i, 21 + j));
        }
    }
    // Edges stretched: frame, outline and ring along the middle of each side.
    for (int x : {4, w / 2, w - 5}) {
        EXPECT_EQ(At(face, x, 0), kFrameLight) << x;
        EXPECT_EQ(At(face, x, 1), kBlue) << x;
        EXPECT_EQ(At(face, x, 2), 0xF3F3EEu) << x;
        EXPECT_EQ(At(face, x, h - 3), 0xD6D0C5u) << x;
        EXPECT_EQ(At(face, x, h - 4), 0xE2DFD6u) << x;
        EXPECT_EQ(At(face, x, h - 1), kFrameDark) << x;
    }
    for (int y : {4, h / 2, h - 5}) {
        EXPECT_EQ(At(face, 1, y), kBlue) << y;
        EXPECT_EQ(At(face, w - 2, y), kBlue) << y;
        EXPECT_EQ(At(face, w - 1, y), kFrameDark) << y;
    }
    // The gradient's middle row, and its light top just inside the band.
    EXPECT_EQ(At(face, w / 2, (h - 1) / 2), 0xE2E2EBu);
    EXPECT_GT(qRed(face.pixel(w / 2, 4)), qRed(face.pixel(w / 2, h - 5)));
}

INSTANTIATE_TEST_SUITE_P(Buttons, DialogSizes,
                         ::testing::Values(std::tuple(73, 25), std::tuple(69, 25),
                                           std::tuple(29, 21)));

TEST(CommandWidget, DisabledFaceHasGreyOutlineNoRingAndGreyCaption) {
    Host host("Enabled = 0\nCaption = \"Off\"\n");
    const QImage face = host.button->FaceImage();
    EXPECT_EQ(host.button->CurrentFace(), FacePicture::Disable);
    EXPECT_EQ(At(face, 36, 1), 0xC9C7BAu);
    EXPECT_EQ(At(face, 36, 2), 0xF5F4EAu);
    EXPECT_EQ(At(face, 36, 3), 0xF5F4EAu);
    EXPECT_FALSE(host.button->LblMsg()->isEnabled());
    EXPECT_FALSE(host.button->isEnabled()); // takes neither pointer nor focus

    QSignalSpy clicks(host.button, &Command::Click);
    QTest::mouseClick(host.button, Qt::LeftButton, {}, host.Centre());
    EXPECT_EQ(clicks.count(), 0);
}

TEST(CommandWidget, HoverTurnsGradientOverAndTimerRestoresIt) {
    Host host;
    host.Hover(host.Centre());
    ASSERT_EQ(host.button->ButtonState(), 2);
    QImage face = host.button->FaceImage();
    EXPECT_EQ(At(face, 36, 2), 0xFFF0CFu); // orange ring
    EXPECT_EQ(At(face, 36, 4), 0xCFCEDDu); // shaded top of the turned-over gradient
    EXPECT_TRUE(host.button->HoverGradient());

    // The pointer test sees the window, not the button, under the cursor.
    host.Leave();
    QTRY_COMPARE_WITH_TIMEOUT(host.button->ButtonState(), 1, 1000);
    face = host.button->FaceImage();
    EXPECT_EQ(At(face, 36, 2), 0xF3F3EEu);
    EXPECT_EQ(At(face, 36, 4), 0xF5F5F8u);
}

TEST(CommandWidget, CaptionCountsAsInsideForThePointerTest) {
    Host host;
    const QLabel* caption = host.button->LblMsg();
    host.Hover(caption->geometry().center());
    ASSERT_EQ(host.button->ButtonState(), 2);
    // Three rounds of the pointer test, any of which would end the hover if it took the
    // caption for outside the button.
    auto* pointerTest = host.button->findChild<QTimer*>();
    ASSERT_NE(pointerTest, nullptr);
    QSignalSpy ticks(pointerTest, &QTimer::timeout);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ticks.count() >= 3 || host.button->ButtonState() != 2; }, 5000));
    EXPECT_EQ(host.button->ButtonState(), 2);
}

TEST(CommandWidget, LeftClickFocusesAndClicksOnce) {
    Host host;
    QSignalSpy clicks(host.button, &Command::Click);
    host.Hover(host.Centre());
    QTest::mousePress(host.button, Qt::LeftButton, {}, host.Centre());
    EXPECT_TRUE(host.button->hasFocus());
    EXPECT_EQ(host.button->ButtonState(), 4);
    EXPECT_EQ(host.button->CurrentFace(), FacePicture::Pressed);
    QTest::mouseRelease(host.button, Qt::LeftButton, {}, host.Centre());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(host.button->CurrentFace(), FacePicture::HighLightSelect);
}

TEST(CommandWidget, RightClickClicksWithoutFocusOrPressedFace) {
    Host host;
    QSignalSpy clicks(host.button, &Command::Click);
    host.Hover(host.Centre());
    QTest::mouseClick(host.button, Qt::RightButton, {}, host.Centre());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(host.button->hasFocus());
    EXPECT_EQ(host.button->CurrentFace(), FacePicture::HighLight);
}

TEST(CommandWidget, DraggedOffFocusedPressGivesNoClick) {
    Host host;
    QSignalSpy clicks(host.button, &Command::Click);
    host.Hover(host.Centre());
    QTest::mousePress(host.button, Qt::LeftButton, {}, host.Centre());
    host.Leave();
    QTRY_COMPARE_WITH_TIMEOUT(host.button->ButtonState(), 3, 1000);
    QTest::mouseRelease(host.button, Qt::LeftButton, {}, QPoint(-30, -20));
    EXPECT_EQ(clicks.count(), 0);
}

TEST(CommandWidget, PropertiesReachTheCaption) {
    Host host("Caption = \"Set\"\n");
    QSignalSpy changed(host.button, &Command::PropertyChanged);
    host.button->SetFontColour(0x0000FF);
    EXPECT_EQ(host.button->LblMsg()->palette().color(QPalette::Active, QPalette::WindowText),
              QColor(255, 0, 0));
    QFont font("Liberation Serif");
    font.setPointSizeF(12);
    font.setBold(true);
    host.button->SetFont(font);
    EXPECT_TRUE(host.button->Font().bold());
    EXPECT_EQ(host.button->LblMsg()->text(), "Set");
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), "FontColour");
    EXPECT_EQ(changed.at(1).at(0).toString(), "Font");

    // The caption spans the face and sits on its optical middle.
    const QRect label = host.button->LblMsg()->geometry();
    EXPECT_EQ(label.left(), 0);
    EXPECT_EQ(label.width(), 73);
    EXPECT_EQ(label.top(), CaptionTop(25, label.height()));

    // Font and caption survive the stored design.
    PropertyBag bag;
    host.button->WriteProperties(bag);
    Host again(bag.Serialize().c_str());
    EXPECT_EQ(again.button->Caption(), "Set");
    EXPECT_EQ(again.button->Font().family(), font.family());
    EXPECT_EQ(again.button->Font().pointSizeF(), 12.0);
    EXPECT_EQ(again.button->FontColour(), 0x0000FFu);
}

TEST(CommandWidget, TransparentBackgroundShowsTheHost) {
    Host host("Visible = 0\n");
    host.window->setStyleSheet("background: rgb(10, 200, 30)");
    const QImage shot = host.window->grab().toImage();
    EXPECT_EQ(At(shot, 40 + 36, 30 + 1), 0x0AC81Eu);
    host.button->SetVisible(1);
    const QImage opaque = host.window->grab().toImage();
    EXPECT_EQ(At(opaque, 40 + 36, 30 + 1), kBlue);
}

} // namespace
} // namespace kovessa::test
