#include "renderer/firefly_scene.h"

#include <algorithm>
#include <cmath>

namespace kovessa {

namespace {

// One full turn of the background takes 180 s (2 degrees a second), one turn of the lattice
// 108 s.
constexpr int64_t kBackgroundTurnMs = 180000;
constexpr int64_t kCameraTurnMs = 108000;

// (6 - j) / 6 for the trail levels j = 1 .. 5, in extended precision.
constexpr long double kLevelBase[5] = {5.0L / 6.0L, 4.0L / 6.0L, 3.0L / 6.0L, 2.0L / 6.0L,
                                       1.0L / 6.0L};

bool IsFastest(float speed) {
    return speed >= 0.05f;
}

} // namespace

void FireflyScene::SetUp(uint32_t seed) {
    random.SeedRandom(seed);
    for (Firefly& fly : Fireflies) {
        const auto cell = static_cast<int32_t>(random.RandomBelow(kCellCount));
        fly.Trail.fill(cell);
        fly.Cell = cell;
        // Formed in extended precision and stored as single, so the five classes are exactly
        // the floats nearest to 0.01 .. 0.05.
        fly.Speed =
            static_cast<float>(static_cast<long double>(random.RandomBelow(5)) / 100.0L + 0.01L);
        fly.NextStepTime = 0;
        fly.Progress = 0.0f;
    }
    FillCellTable(cells);
}

int64_t FireflyScene::StepPeriod(float speed) {
    return std::llround(10.0 / static_cast<double>(speed));
}

void FireflyScene::StepFireflies(int64_t t) {
    for (int32_t i = 0; i < FireflyCount; ++i) {
        Firefly& fly = Fireflies[i];
        if (t < fly.NextStepTime) {
            continue;
        }
        for (int j = 5; j > 0; --j) {
            fly.Trail[j] = fly.Trail[j - 1];
        }
        fly.Trail[0] = fly.Cell;
        const int32_t from = fly.Trail[0];
        // Every neighbour inside the lattice is drawn with equal chance; a draw that would leave
        // the lattice, stand still or go straight back is simply drawn again.
        while (fly.Cell == fly.Trail[0] || fly.Cell == fly.Trail[1]) {
            switch (random.RandomBelow(6)) {
            case 0:
                if (CellIx(from) > 0) {
                    fly.Cell = from - 1;
                }
                break;
            case 1:
                if (CellIx(from) < kLatticeX - 1) {
                    fly.Cell = from + 1;
                }
                break;
            case 2:
                if (CellIz(from) > 0) {
                    fly.Cell = from - kLatticeX;
                }
                break;
            case 3:
                if (CellIz(from) < kLatticeZ - 1) {
                    fly.Cell = from + kLatticeX;
                }
                break;
            case 4:
                if (CellIy(from) > 0) {
                    fly.Cell = from - kLatticeX * kLatticeZ;
                }
                break;
            default:
                if (CellIy(from) < kLatticeY - 1) {
                    fly.Cell = from + kLatticeX * kLatticeZ;
                }
                break;
            }
        }
        // The next whole multiple of the period after t: every firefly of one speed steps on
        // the same grid, and a late frame never makes a firefly take two steps at once.
        const int64_t period = StepPeriod(fly.Speed);
        fly.NextStepTime = (t / period + 1) * period;
    }
}

Vec3f FireflyScene::PointBetween(int32_t from, int32_t to, float progress) const {
    const CellPos& a = cells[from];
    const CellPos& b = cells[to];
    return Vec3f{static_cast<float>(a.X) + progress * static_cast<float>(b.X - a.X),
                 static_cast<float>(a.Y) + progress * static_cast<float>(b.Y - a.Y),
                 static_cast<float>(a.Z) + progress * static_cast<float>(b.Z - a.Z)};
}

void FireflyScene::ComputeTrails(int64_t t, FrameGeometry& frame) {
    for (int32_t i = 0; i < FireflyCount; ++i) {
        Firefly& fly = Fireflies[i];
        // Formed in extended precision and rounded to single once, like the speeds, so every
        // vertex and colour that follows from it is the same to the last bit wherever the
        // scene runs. The rounded speed of the fastest class is a hair above 0.05, which would
        // put its step instants at -1.5e-8; those start the step at 0 instead.
        const long double share = static_cast<long double>(fly.NextStepTime - t) / 10.0L *
                                  static_cast<long double>(fly.Speed);
        fly.Progress = std::max(0.0f, static_cast<float>(1.0L - share));

        TrailStrip& strip = frame.trails[i];
        strip.head = PointBetween(fly.Trail[0], fly.Cell, fly.Progress);
        const bool reddish = IsFastest(fly.Speed);
        // The levels (6 - j) / 6 - Progress / 6 are rounded to single once, from extended
        // precision, as Progress is; the quotients are the same for every level or constant.
        const long double sixth = static_cast<long double>(fly.Progress) / 6.0L;
        for (int j = 1; j <= 5; ++j) {
            const float c = static_cast<float>(kLevelBase[j - 1] - sixth);
            strip.innerColours[j - 1] = reddish ? Rgb{c + 0.5f, c, c} : Rgb{c, c, c + 0.5f};
            strip.inner[j - 1] = cells[fly.Trail[j - 1]];
        }
        strip.tail = PointBetween(fly.Trail[5], fly.Trail[4], fly.Progress);
    }
}

void FireflyScene::ComputeGlows(FrameGeometry& frame) const {
    for (int32_t i = 0; i < FireflyCount; ++i) {
        const Firefly& fly = Fireflies[i];
        // The same point as the trail head; computed once, there.
        frame.glows[i].centre = frame.trails[i].head;
        frame.glows[i].colour =
            IsFastest(fly.Speed) ? Rgb{1.0f, 0.7f, 0.7f} : Rgb{1.0f, 1.0f, 1.0f};
    }
}

void FireflyScene::BuildFrame(int64_t t, FrameGeometry& frame) {
    frame.showBackground = ShowBackground;
    frame.backgroundAngle = BackgroundAngle(t);
    frame.cameraAngle = CameraAngle(t);
    frame.count = FireflyCount;
    StepFireflies(t);
    ComputeTrails(t, frame);
    ComputeGlows(frame);
}

void FireflyScene::HandleKeys(KeyState& keys) {
    if (keys[kVkAdd] && FireflyCount < kMaxFireflies) {
        ++FireflyCount;
    }
    if (keys[kVkSubtract] && FireflyCount > 1) {
        --FireflyCount;
    }
    if (keys[kVkB]) {
        ShowBackground = !ShowBackground;
        keys[kVkB] = false;
    }
}

float FireflyScene::BackgroundAngle(int64_t t) {
    return static_cast<float>(static_cast<double>(t % kBackgroundTurnMs) / 500.0);
}

float FireflyScene::CameraAngle(int64_t t) {
    return static_cast<float>(static_cast<double>(t % kCameraTurnMs) / 300.0);
}

} // namespace kovessa
