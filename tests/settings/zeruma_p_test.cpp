#include "controls/command.h"
#include "settings/qt_text_drawer.h"
#include "settings/zeruma_p.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace kovessa {
namespace {

// The dialog's font, found as the program finds it (a substitution is added only once).
void SubstituteDialogFont() {
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}

class RecordingWriter : public IniWriter {
public:
    void WriteIniString(const std::string&, const std::string& key, const std::string& value,
                        const std::string& file) override {
        writes.push_back(key + "=" + value + " @" + file);
    }
    bool Commit(std::string* error) override {
        ++commits;
        if (error != nullptr) {
            *error = failWith;
        }
        return failWith.empty();
    }
    std::vector<std::string> writes;
    int commits = 0;
    std::string failWith;
};

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) {
        urls.push_back(url);
        hourglass = QApplication::overrideCursor() &&
                    QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }

public:
    std::vector<QUrl> urls;
    bool hourglass = false;
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        SubstituteDialogFont();
        // A folder the test may write: the settings file is kept beside the program.
        app_.programFolder = programFolder_.path().toStdString();
    }

    std::string IniPath() const { return app_.programFolder + "/Kovessa.ini"; }

    // Builds and shows the dialog for the settings in app_.
    Zeruma_P& Open() {
        dialog_ = std::make_unique<Zeruma_P>(app_);
        dialog_->SetIniWriter(&writer_);
        dialog_->ShowModeless();
        return *dialog_;
    }

    template <typename T>
    T* Child(const char* name) {
        T* child = dialog_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    bool MarkChosen(int index) {
        const QImage shown =
            Child<QLabel>(QStringLiteral("Img_BGM%1").arg(index).toLatin1())->pixmap().toImage();
        return shown ==
               QImage(QStringLiteral(":/settings/mark_on.png")).convertToFormat(shown.format());
    }

    QTemporaryDir programFolder_;
    AppContext app_;
    RecordingWriter writer_;
    std::unique_ptr<Zeruma_P> dialog_;
};

TEST_F(DialogTest, LoadShowsControlsAtTheirPlacesWithTheSettings) {
    app_.music = {1, 0, "/music/a b.mp3"};
    Zeruma_P& d = Open();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("<Kovessa>"));
    EXPECT_EQ(d.size(), QSize(481, 231));

    const struct {
        const char* name;
        QRect geometry;
    } places[] = {
        {"Pic_C0", {12, 28, 453, 145}},   {"BGM_Repeat", {92, 36, 41, 20}},
        {"Img_BGM1", {20, 40, 12, 12}},   {"Img_BGM0", {20, 60, 12, 12}},
        {"Img_BGM2", {20, 80, 12, 12}},   {"Cmd_BGM", {36, 96, 29, 21}},
        {"lbl_Fname", {68, 96, 357, 29}}, {"picDisplay", {12, 180, 309, 25}},
        {"Cmd_Set", {320, 180, 73, 25}},  {"Cmd_Can", {396, 180, 69, 25}},
        {"lbl15", {20, 16, 111, 13}},
    };
    for (const auto& p : places) {
        EXPECT_EQ(Child<QWidget>(p.name)->geometry(), p.geometry) << p.name;
    }

    const struct {
        const char* name;
        const char* text;
        QPoint topLeft;
    } labels[] = {{"lbl_BGM1", "音楽CD", {36, 40}},
                  {"lbl_BGM0", "無し", {36, 60}},
                  {"lbl_BGM2", "MP3、WAV", {36, 80}},
                  {"lbl14", "曲目をﾘﾋﾟｰﾄ", {136, 40}},
                  {"lbl15", "BGM", {20, 16}}};
    for (const auto& l : labels) {
        QLabel* label = Child<QLabel>(l.name);
        EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
        EXPECT_EQ(label->pos(), l.topLeft) << l.name;
        // Fits its text: nothing of the caption is cut.
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << l.name;
    }
    EXPECT_EQ(Child<Command>("Cmd_Set")->Caption(), QString::fromUtf8("設定"));
    EXPECT_EQ(Child<Command>("Cmd_Can")->Caption(), QString::fromUtf8("ｷｬﾝｾﾙ"));
    EXPECT_EQ(Child<Command>("Cmd_BGM")->Caption(), QStringLiteral("..."));
    EXPECT_EQ(Child<Command>("Cmd_Set")->Font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(Child<QLabel>("lbl_Fname")->text(), QStringLiteral("/music/a b.mp3"));

    QComboBox* combo = Child<QComboBox>("BGM_Repeat");
    EXPECT_EQ(combo->currentText(), QString());
    EXPECT_EQ(combo->currentIndex(), -1);
    ASSERT_EQ(combo->count(), 31);
    EXPECT_EQ(combo->itemText(0), QString());
    EXPECT_EQ(combo->itemText(1), QStringLiteral("1"));
    EXPECT_EQ(combo->itemText(30), QStringLiteral("30"));

    // Kind 1: the CD mark is chosen, only the combo may be used; the strip runs.
    EXPECT_TRUE(MarkChosen(1));
    EXPECT_FALSE(MarkChosen(0));
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_FALSE(Child<Command>("Cmd_BGM")->Enabled());
    EXPECT_TRUE(d.Strip().timer1Enabled);
    EXPECT_EQ(d.Strip().LinkText, Zeruma_P::LinkText());
}

TEST_F(DialogTest, TrackShowsInTheComboWithoutSelectingAnItem) {
    app_.music = {1, 5, ""};
    Open();
    QComboBox* combo = Child<QComboBox>("BGM_Repeat");
    EXPECT_EQ(combo->currentText(), QStringLiteral("5"));
    EXPECT_EQ(combo->currentIndex(), -1);
}

TEST_F(DialogTest, AnyMouseButtonOnMarkOrCaptionChoosesTheOption) {
    app_.music = {0, 0, ""};
    Open();
    QComboBox* combo = Child<QComboBox>("BGM_Repeat");
    Command* browse = Child<Command>("Cmd_BGM");
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_FALSE(browse->Enabled());

    QTest::mouseClick(Child<QLabel>("lbl_BGM2"), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(app_.music.BGMKind, 2);
    EXPECT_TRUE(MarkChosen(2));
    EXPECT_FALSE(MarkChosen(0));
    EXPECT_TRUE(browse->Enabled());
    EXPECT_FALSE(combo->isEnabled());

    QTest::mouseClick(Child<QLabel>("Img_BGM1"), Qt::MiddleButton, {}, QPoint(6, 6));
    EXPECT_EQ(app_.music.BGMKind, 1);
    EXPECT_TRUE(MarkChosen(1));
    EXPECT_FALSE(MarkChosen(2));
    EXPECT_FALSE(browse->Enabled());
    EXPECT_TRUE(combo->isEnabled());

    QTest::mouseClick(Child<QLabel>("lbl_BGM0"), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(app_.music.BGMKind, 0);
    EXPECT_FALSE(browse->Enabled());
    EXPECT_FALSE(combo->isEnabled());
}

TEST_F(DialogTest, KindOutsideTheOptionsShowsNoMark) {
    app_.music = {5, 0, ""};
    Open();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(MarkChosen(i)) << i;
    }
    EXPECT_FALSE(Child<QComboBox>("BGM_Repeat")->isEnabled());
    EXPECT_FALSE(Child<Command>("Cmd_BGM")->Enabled());
}

TEST_F(DialogTest, ConfirmStoresTheThreeSettingsAndCloses) {
    app_.music = {2, 0, "/music/old.mp3"};
    Zeruma_P& d = Open();
    QTest::mouseClick(Child<QLabel>("Img_BGM1"), Qt::LeftButton, {}, QPoint(6, 6));
    QComboBox* combo = Child<QComboBox>("BGM_Repeat");
    combo->setFocus();
    QTest::keyClicks(combo, QStringLiteral("3.5"));
    QTest::mouseClick(Child<Command>("Cmd_Set"), Qt::LeftButton, {}, QPoint(10, 10));

    const std::vector<std::string> expected = {"BGM\x8B\xE6\x95\xAA=1 @" + IniPath(),
                                               "BGM\xD8\xCB\xDF\xB0\xC4=4 @" + IniPath(),
                                               "BGM\xCC\xA7\xB2\xD9=/music/old.mp3 @" + IniPath()};
    EXPECT_EQ(writer_.writes, expected);
    EXPECT_EQ(writer_.commits, 1);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.Strip().timer1Enabled);
}

TEST_F(DialogTest, AFailedSaveIsToldAndTheDialogStaysOpen) {
    app_.music = {1, 0, ""};
    Zeruma_P& d = Open();
    std::vector<QString> told;
    d.SetTeller([&](QWidget* owner, const QString& text) {
        EXPECT_EQ(owner, &d);
        told.push_back(text);
    });
    writer_.failWith = "cannot save: No space left on device";
    QTest::mouseClick(Child<Command>("Cmd_Set"), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains(QString::fromStdString(IniPath()))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("No space left on device")));
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.Strip().timer1Enabled);

    // Once the save works, the same button saves and closes.
    writer_.failWith.clear();
    QTest::mouseClick(Child<Command>("Cmd_Set"), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(told.size(), 1u);
    EXPECT_EQ(writer_.commits, 2);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(DialogTest, APathTooLongToKeepIsRefusedWithAMessage) {
    app_.music = {2, 0, "/music/old.mp3"};
    Zeruma_P& d = Open();
    std::vector<QString> told;
    d.SetTeller([&](QWidget*, const QString& text) { told.push_back(text); });
    // A slash, 85 Japanese characters of three bytes each and one letter: 257 bytes.
    std::string path = "/";
    for (int i = 0; i < 85; ++i) {
        path += "\xE6\x9B\xB2";
    }
    path += "x";
    d.SetFileChooser([&](QWidget*) { return std::optional<std::string>(path); });
    QTest::mouseClick(Child<Command>("Cmd_BGM"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains(QStringLiteral("257 bytes"))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("at most 255")));
    EXPECT_EQ(app_.music.BGMFile, "/music/old.mp3");
    EXPECT_EQ(Child<QLabel>("lbl_Fname")->text(), QStringLiteral("/music/old.mp3"));
}

TEST_F(DialogTest, ALongPathLosesItsMiddleAndKeepsTheFileName) {
    const std::string path = "/home/user/" + std::string(120, 'd') + "/Album/The Last Song.mp3";
    app_.music = {2, 0, path};
    Open();
    QLabel* label = Child<QLabel>("lbl_Fname");
    const QString shown = label->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/home/user/"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("The Last Song.mp3"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))); // the ellipsis stands in the middle
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
    EXPECT_EQ(label->toolTip(), QString::fromStdString(path));
}

TEST_F(DialogTest, CancelAndWindowCloseWriteNothing) {
    for (bool useCancel : {true, false}) {
        app_.music = {2, 0, "/music/old.mp3"};
        Zeruma_P& d = Open();
        d.SetFileChooser([](QWidget*) { return std::optional<std::string>("/music/new.wav"); });
        QTest::mouseClick(Child<Command>("Cmd_BGM"), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(Child<QLabel>("lbl_Fname")->text(), QStringLiteral("/music/new.wav"));
        if (useCancel) {
            QTest::mouseClick(Child<Command>("Cmd_Can"), Qt::LeftButton, {}, QPoint(10, 10));
        } else {
            d.close();
        }
        EXPECT_TRUE(writer_.writes.empty());
        EXPECT_FALSE(d.isVisible());
        EXPECT_FALSE(d.Strip().timer1Enabled);
    }
}

TEST_F(DialogTest, CancelledFileDialogLeavesThePathAsItWas) {
    app_.music = {2, 0, "/music/old.mp3"};
    Zeruma_P& d = Open();
    int asked = 0;
    d.SetFileChooser([&](QWidget* owner) {
        ++asked;
        EXPECT_EQ(owner, &d);
        return std::optional<std::string>();
    });
    QTest::mouseClick(Child<Command>("Cmd_BGM"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(app_.music.BGMFile, "/music/old.mp3");
    EXPECT_EQ(Child<QLabel>("lbl_Fname")->text(), QStringLiteral("/music/old.mp3"));
}

TEST_F(DialogTest, StripClickOpensTheDocumentationAndTheAnimationGoesOn) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    Zeruma_P& d = Open();
    QWidget* strip = Child<QWidget>("picDisplay");
    EXPECT_EQ(strip->cursor().shape(), Qt::PointingHandCursor);
    const int32_t before = d.Strip().HiliteX;
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(50, 10));
    ASSERT_EQ(catcher.urls.size(), 1u);
    EXPECT_EQ(catcher.urls[0].toString(), Zeruma_P::DocumentationUrl(app_.programFolder));
    EXPECT_TRUE(catcher.hourglass);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // A right click is no click.
    QTest::mouseClick(strip, Qt::RightButton, {}, QPoint(50, 10));
    EXPECT_EQ(catcher.urls.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.Strip().HiliteX != before; }, 5000));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(DialogTest, VisibleStripShowsTheComposedFrame) {
    Zeruma_P& d = Open();
    const PixelSurface& frame = d.Strip().picDisplay;
    // The strip's timer composes the frames; the first one lights the address's letters.
    const auto lit = [&] {
        int n = 0;
        for (int y = 0; y < frame.Height(); ++y) {
            for (int x = 0; x < frame.Width(); ++x) {
                n += frame.Pixel(x, y).value != 0 ? 1 : 0;
            }
        }
        return n;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lit() > 100; }, 5000));
    const QImage shown =
        Child<QWidget>("picDisplay")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(309, 25));
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 309; ++x) {
            ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFFu, frame.Pixel(x, y).value) << x << "," << y;
        }
    }
}

TEST(DialogStatics, FilterMatchesMp3AndWavInAnyCase) {
    const QString filter = Zeruma_P::MusicFileFilter();
    EXPECT_TRUE(filter.startsWith(QString::fromUtf8("BGMﾌｧｲﾙ (MP3 WAV)")));
    const qsizetype open = filter.lastIndexOf(u'(');
    const QStringList patterns =
        filter.mid(open + 1, filter.size() - open - 2).split(u' ', Qt::SkipEmptyParts);
    auto matches = [&](const QString& name) {
        for (const QString& p : patterns) {
            const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p));
            if (re.match(name).hasMatch()) {
                return true;
            }
        }
        return false;
    };
    for (const char* name : {"a.mp3", "B.MP3", "c.Mp3", "d.wav", "E.WAV", "f.wAv"}) {
        EXPECT_TRUE(matches(QString::fromLatin1(name))) << name;
    }
    for (const char* name : {"a.mp4", "b.wave", "mp3", "c.txt"}) {
        EXPECT_FALSE(matches(QString::fromLatin1(name))) << name;
    }
}

TEST(DialogStatics, DocumentationIsTheInstalledReadmeWhenThereIsOne) {
    // An installed tree: PREFIX/lib/kovessa/Kovessa.scr and PREFIX/share/doc/kovessa/README.md.
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("lib/kovessa")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/doc/kovessa")));
    const std::string program = prefix.filePath(QStringLiteral("lib/kovessa")).toStdString();
    const QString installed = prefix.filePath(QStringLiteral("share/doc/kovessa/README.md"));
    const QString beside = prefix.filePath(QStringLiteral("lib/kovessa/README.md"));

    const QString fromSource = Zeruma_P::DocumentationUrl(program);
    EXPECT_TRUE(fromSource.endsWith(QStringLiteral("/README.md")));
    EXPECT_NE(fromSource, QUrl::fromLocalFile(beside).toString());
    std::ofstream(beside.toStdString()) << "# Kovessa\n";
    EXPECT_EQ(Zeruma_P::DocumentationUrl(program), QUrl::fromLocalFile(beside).toString());
    std::ofstream(installed.toStdString()) << "# Kovessa\n";
    EXPECT_EQ(Zeruma_P::DocumentationUrl(program), QUrl::fromLocalFile(installed).toString());
}

TEST(DialogStatics, TheLinkTextStandsWholeInTheStripBeforeTheStar) {
    SubstituteDialogFont();
    // Drawn on a surface far wider than the strip, as the strip draws it: every lit pixel must
    // fall left of the star and inside the strip's height, so nothing of it is cut.
    QtTextDrawer drawer;
    PixelSurface wide(1000, 60, RgbColour{0});
    drawer.DrawText(wide, SurfaceFont{DisplayStrip::kFontName, DisplayStrip::kFontPoints, false},
                    Zeruma_P::LinkText(), DisplayStrip::kTextX, DisplayStrip::kTextY,
                    RgbColour{0xFFFFFF});
    int right = -1, bottom = -1;
    for (int y = 0; y < wide.Height(); ++y) {
        for (int x = 0; x < wide.Width(); ++x) {
            if (!(wide.Pixel(x, y) == RgbColour{0})) {
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "nothing drawn";
    EXPECT_LT(right, DisplayStrip::kStarX) << "the text runs to x = " << right;
    EXPECT_LT(bottom, DisplayStrip::kDisplayHeight);
}

} // namespace
} // namespace kovessa

#include "zeruma_p_test.moc"
