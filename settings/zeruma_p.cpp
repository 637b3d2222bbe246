#include "settings/zeruma_p.h"

#include "common/window_titles.h"
#include "controls/command.h"
#include "controls/property_bag.h"
#include "launcher/file_exists.h"
#include "launcher/open_point.h"
#include "launcher/program_paths.h"
#include "launcher/settings_file.h"
#include "launcher/settings_place.h"
#include "launcher/x11_desktop.h"
#include "settings/repeat_text.h"
#include "settings/settings_file_writer.h"
#include "settings/strip_pictures.h"
#include "settings/strip_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>

static void InitSettingsDialogResources() {
    Q_INIT_RESOURCE(settings_dialog);
}

namespace kovessa {

namespace {

constexpr int kClientWidth = 481;
constexpr int kClientHeight = 231;
constexpr double kLabelPoints = 9.75;
const char* const kLabelFontName = "ＭＳ Ｐゴシック";

#ifndef KOVESSA_VERSION
#define KOVESSA_VERSION "1.0"
#endif
#ifndef KOVESSA_SOURCE_README
#define KOVESSA_SOURCE_README ""
#endif
// Where an installed copy's documentation lies, seen from the program's folder.
#ifndef KOVESSA_DOC_FROM_PROGRAM
#define KOVESSA_DOC_FROM_PROGRAM "../../share/doc/kovessa"
#endif

DisplayStrip NewStrip(TextDrawer& text) {
    StripPictures pictures = LoadStripPictures();
    return DisplayStrip(text, std::move(pictures.hilite), std::move(pictures.stars));
}

QFont LabelFont() {
    QFont font(QString::fromUtf8(kLabelFontName));
    font.setPointSizeF(kLabelPoints);
    return font;
}

// A white label on the dialog's black, with a transparent background. Plain text only: a path
// or caption that looks like markup is shown as it stands.
QLabel* MakeLabel(QWidget* parent, const QString& text, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(LabelFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

Command* MakeCommand(QWidget* parent, const char* name, const char* design, QRect geometry) {
    auto* button = new Command(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    QFile file(QString::fromLatin1(design));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray text = file.readAll();
        if (const auto bag = PropertyBag::Parse(std::string_view(text.constData(), text.size()))) {
            button->ReadProperties(*bag);
        }
    }
    return button;
}

QString DecodePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

Zeruma_P::Zeruma_P(AppContext& app, QWidget* parent)
    : Form(parent), app_(app), choice_(app.music), strip_(NewStrip(textDrawer_)),
      fileWriter_(std::make_unique<SettingsFileWriter>()),
      chooseFile_(&Zeruma_P::ChooseFileWithDialog), tell_(&Zeruma_P::TellWithMessageBox) {
    InitSettingsDialogResources();
    setWindowTitle(QString::fromLatin1(kSettingsWindowTitle));
    // A fixed single border with a title bar: the dialog cannot be resized or maximised.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowIcon(QIcon(QStringLiteral(":/settings/dialog_icon.png")));
    setFont(LabelFont());
    BuildControls();
}

Zeruma_P::~Zeruma_P() = default;

void Zeruma_P::BuildControls() {
    picC_ = new QWidget(this);
    picC_->setObjectName(QStringLiteral("Pic_C0"));
    picC_->setGeometry(12, 28, 453, 145);
    picC_->setAutoFillBackground(true);

    auto* shape = new QFrame(picC_);
    shape->setObjectName(QStringLiteral("Shape3_3"));
    shape->setGeometry(20, 12, 113, 21);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    QPalette shapePalette = shape->palette();
    shapePalette.setColor(QPalette::WindowText, Qt::white);
    shape->setPalette(shapePalette);

    QLabel* title = MakeLabel(picC_, QStringLiteral("BGM"), "lbl15");
    title->setGeometry(20, 16, 111, 13);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    imgRa_[0] = QPixmap(QStringLiteral(":/settings/mark_off.png"));
    imgRa_[1] = QPixmap(QStringLiteral(":/settings/mark_on.png"));

    // Screen order CD, none, file; the index of each is its kind.
    const struct {
        int index, top;
        const char* caption;
    } options[] = {{1, 40, "音楽CD"}, {0, 60, "無し"}, {2, 80, "MP3、WAV"}};
    for (const auto& o : options) {
        const auto i = static_cast<size_t>(o.index);
        imgBgm_[i] = new QLabel(picC_);
        imgBgm_[i]->setObjectName(QStringLiteral("Img_BGM%1").arg(o.index));
        imgBgm_[i]->setGeometry(20, o.top, 12, 12);
        imgBgm_[i]->installEventFilter(this);
        lblBgm_[i] = MakeLabel(picC_, QString::fromUtf8(o.caption),
                               QStringLiteral("lbl_BGM%1").arg(o.index).toLatin1().constData());
        lblBgm_[i]->move(36, o.top);
        lblBgm_[i]->adjustSize();
        lblBgm_[i]->installEventFilter(this);
    }

    bgmRepeat_ = new QComboBox(picC_);
    bgmRepeat_->setObjectName(QStringLiteral("BGM_Repeat"));
    bgmRepeat_->setEditable(true);
    // Typed text is the track to store; it never becomes a new list item.
    bgmRepeat_->setInsertPolicy(QComboBox::NoInsert);
    bgmRepeat_->setGeometry(92, 36, 41, 20);
    bgmRepeat_->setPalette(QApplication::palette());

    QLabel* repeat = MakeLabel(picC_, QString::fromUtf8("曲目をﾘﾋﾟｰﾄ"), "lbl14");
    repeat->move(136, 40);
    repeat->adjustSize();

    cmdBgm_ = MakeCommand(picC_, "Cmd_BGM", ":/settings/cmd_bgm.design", {36, 96, 29, 21});
    connect(cmdBgm_, &Command::Click, this, &Zeruma_P::Cmd_BGM_Click);

    lblFname_ = MakeLabel(picC_, QString(), "lbl_Fname");
    lblFname_->setGeometry(68, 96, 357, 29);
    lblFname_->setFrameStyle(QFrame::Box | QFrame::Plain);
    // One line: the box is too low for two lines of this font, and a path breaks badly at
    // its blanks. A path longer than the box loses letters in its middle, so the file name at
    // its end stays in sight; its tip shows it whole.
    lblFname_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblFname_->setWordWrap(false);

    picDisplay_ = new StripView(strip_.picDisplay, this);
    picDisplay_->setObjectName(QStringLiteral("picDisplay"));
    picDisplay_->setGeometry(12, 180, DisplayStrip::kDisplayWidth, DisplayStrip::kDisplayHeight);
    connect(picDisplay_, &StripView::Clicked, this, &Zeruma_P::picDisplay_Click);

    cmdSet_ = MakeCommand(this, "Cmd_Set", ":/settings/cmd_set.design", {320, 180, 73, 25});
    connect(cmdSet_, &Command::Click, this, &Zeruma_P::Cmd_Set_Click);
    cmdCan_ = MakeCommand(this, "Cmd_Can", ":/settings/cmd_can.design", {396, 180, 69, 25});
    connect(cmdCan_, &Command::Click, this, &Zeruma_P::Cmd_Can_Click);

    QLabel* credit = MakeLabel(
        this, QStringLiteral("Kovessa Ver %1  for Linux/X11").arg(QStringLiteral(KOVESSA_VERSION)),
        "lbl7");
    credit->move(12, 204);
    credit->adjustSize();

    timer1_ = new QTimer(this);
    timer1_->setInterval(DisplayStrip::kTimerIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &Zeruma_P::Timer1_Timer);
}

void Zeruma_P::Form_Load() {
    // 1. Centred across, a third of the free height from the top of the primary screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize outer = frameGeometry().size();
        move(area.x() + (area.width() - outer.width()) / 2,
             area.y() + (area.height() - outer.height()) / 3);
    }
    // 2.
    InitCommands();
    // 3. Black behind everything.
    for (QWidget* w : {static_cast<QWidget*>(this), picC_}) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, Qt::black);
        w->setPalette(palette);
        w->setAutoFillBackground(true);
    }
    // 4, 5. Marks and enabled states for the kind read from the settings file.
    choice_.ShowCurrentKind();
    ShowChoice();
    // 6. The text first, then the list; nothing selected, so the text stays as set.
    const QString repeatText = QString::fromStdString(FormatRepeat(app_.music.BGMRepeat));
    bgmRepeat_->setEditText(repeatText);
    for (int16_t track = 0; track <= 30; ++track) {
        bgmRepeat_->addItem(QString::fromStdString(FormatRepeat(track)));
    }
    bgmRepeat_->setCurrentIndex(-1);
    bgmRepeat_->setEditText(repeatText);
    // 7.
    ShowFileName();
    // 8.
    documentationUrl_ = DocumentationUrl(app_.programFolder);
    strip_.Start(LinkText());
    timer1_->start();
    // 9.
    ReadCursorPosition();
    // 10. The zoom from the pointer to the window is a desktop animation X does not offer; the
    // dialog simply appears.
    // 11.
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
    }
}

void Zeruma_P::Form_Unload() {
    timer1_->stop();
    strip_.Stop();
}

void Zeruma_P::InitCommands() {
    for (Command* button : findChildren<Command*>()) {
        button->Initialize();
    }
}

void Zeruma_P::ReadCursorPosition() {
    RecordOpenPoint(app_.shared, x11::GetCursorPos());
}

bool Zeruma_P::eventFilter(QObject* watched, QEvent* event) {
    // Any mouse button on a mark or its caption chooses that option at once.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < MusicChoice::kOptionCount; ++i) {
            const auto k = static_cast<size_t>(i);
            if (watched == imgBgm_[k] || watched == lblBgm_[k]) {
                Img_BGM_MouseDown(i);
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}

void Zeruma_P::Img_BGM_MouseDown(int index) {
    choice_.ChooseOption(index);
    ShowChoice();
}

void Zeruma_P::ShowChoice() {
    for (int i = 0; i < MusicChoice::kOptionCount; ++i) {
        imgBgm_[static_cast<size_t>(i)]->setPixmap(imgRa_[choice_.MarkChosen(i) ? 1 : 0]);
    }
    cmdBgm_->SetEnabled(choice_.BrowseEnabled());
    bgmRepeat_->setEnabled(choice_.RepeatEnabled());
}

void Zeruma_P::ShowFileName() {
    const QString path = DecodePath(app_.music.BGMFile);
    const int room = lblFname_->contentsRect().width() - 2 * lblFname_->margin();
    lblFname_->setText(lblFname_->fontMetrics().elidedText(path, Qt::ElideMiddle, room));
    lblFname_->setToolTip(path);
}

void Zeruma_P::Cmd_BGM_Click() {
    const std::optional<std::string> path = chooseFile_ ? chooseFile_(this) : std::nullopt;
    if (!path || path->empty()) {
        return;
    }
    if (choice_.FileChosen(*path) == MusicChoice::FileAnswer::TooLong) {
        tell_(this, QString::fromUtf8("このファイルのパスは長すぎて設定に残せません"
                                      "（%1 バイト、最大 %2 バイト）。\n"
                                      "The path of this file is too long to be kept in the "
                                      "settings (%1 bytes, at most %2).\n\n%3")
                        .arg(path->size())
                        .arg(MusicChoice::kMaxFilePathBytes)
                        .arg(DecodePath(*path)));
        return;
    }
    ShowFileName();
}

std::optional<std::string> Zeruma_P::ChooseFileWithDialog(QWidget* owner) {
    QFileDialog dialog(owner, QString::fromUtf8("ﾌｧｲﾙを開く"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that does not exist is accepted as well; the next start drops a file that
    // cannot be read.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(MusicFileFilter());
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

QString Zeruma_P::MusicFileFilter() {
    // Bracketed letters match either case in Qt's own dialog and in the desktop's, whichever
    // of them treats the pattern case-sensitively.
    return QString::fromUtf8("BGMﾌｧｲﾙ (MP3 WAV) (*.[Mm][Pp]3 *.[Ww][Aa][Vv])");
}

void Zeruma_P::Cmd_Set_Click() {
    IniWriter& writer = writer_ ? *writer_ : *fileWriter_;
    const SettingsPlace place = LocateSettings(app_.programFolder, UserConfigHome());
    std::string error;
    bool saved = true;
    if (place.perUser && !MakeSettingsFolder(place.writePath)) {
        error = "cannot make the folder of " + place.writePath;
        saved = false;
    }
    if (saved) {
        saved = choice_.Confirm(bgmRepeat_->currentText().toStdString(), writer, place.writePath,
                                &error);
    }
    bgmRepeat_->setEditText(QString::fromStdString(FormatRepeat(app_.music.BGMRepeat)));
    if (!saved) {
        // The dialog stays open with the choice on it, so the user can try again or cancel.
        tell_(this, QString::fromUtf8("設定を保存できませんでした。\n"
                                      "The settings could not be saved.\n\n%1\n%2")
                        .arg(DecodePath(place.writePath), QString::fromLocal8Bit(error.c_str())));
        return;
    }
    Unload();
}

void Zeruma_P::Cmd_Can_Click() {
    Unload();
}

void Zeruma_P::Timer1_Timer() {
    strip_.Timer1_Timer();
    picDisplay_->update();
}

void Zeruma_P::picDisplay_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QDesktopServices::openUrl(QUrl(documentationUrl_));
    QApplication::restoreOverrideCursor();
}

QString Zeruma_P::DocumentationUrl(const std::string& programFolder) {
    std::string path = KOVESSA_SOURCE_README;
    if (!programFolder.empty()) {
        const std::string installed =
            JoinPath(JoinPath(programFolder, KOVESSA_DOC_FROM_PROGRAM), "README.md");
        const std::string beside = JoinPath(programFolder, "README.md");
        if (FileExists(installed)) {
            path = installed;
        } else if (FileExists(beside)) {
            path = beside;
        }
    }
    // The folder part is made plain (no "..") so that the handler shows a clean address.
    return QUrl::fromLocalFile(QDir::cleanPath(DecodePath(path))).toString();
}

std::string Zeruma_P::LinkText() {
    return DisplayStrip::kLinkText;
}

void Zeruma_P::TellWithMessageBox(QWidget* owner, const QString& text) {
    QMessageBox::warning(owner, QString::fromLatin1(kSettingsWindowTitle), text);
}

} // namespace kovessa
