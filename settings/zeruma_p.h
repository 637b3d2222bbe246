#pragma once

#include "launcher/app_context.h"
#include "launcher/qt_form.h"
#include "settings/display_strip.h"
#include "settings/ini_writer.h"
#include "settings/music_choice.h"
#include "settings/qt_text_drawer.h"

#include <QPixmap>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QTimer;

namespace kovessa {

class Command;
class StripView;

// The settings dialog "<Kovessa>", where the user chooses the music of the shows: none, an
// audio CD (the whole disc or one repeated track) or one MP3 or WAV file. Confirming stores
// the choice in the settings file (a failed save is told in a message box and the dialog stays
// open); cancelling or closing stores nothing. Its bottom left holds the animated link strip,
// which opens the program's documentation on a click.
//
// Child controls carry their dialog names as object names ("Img_BGM1", "lbl_BGM2",
// "BGM_Repeat", "Cmd_Set", ...), the indexed ones with their index appended.
class Zeruma_P : public Form {
    Q_OBJECT
public:
    // The file dialog: given the owner window, the chosen path, or nullopt when cancelled.
    using FileChooser = std::function<std::optional<std::string>(QWidget* owner)>;
    // Tells the user something went wrong (a message box with an OK button).
    using Teller = std::function<void(QWidget* owner, const QString& text)>;

    explicit Zeruma_P(AppContext& app, QWidget* parent = nullptr);
    ~Zeruma_P() override;

    // Where confirm sends the settings; nullptr (the default) means the settings file.
    void SetIniWriter(IniWriter* writer) { writer_ = writer; }
    // Replaces the file dialog, for tests.
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Replaces the message box, for tests.
    void SetTeller(Teller teller) { tell_ = std::move(teller); }

    const DisplayStrip& Strip() const { return strip_; }
    const MusicChoice& Choice() const { return choice_; }

    // The address a click on the strip opens: the installed documentation (share/doc/kovessa
    // of the prefix the program is installed in) when there is one, else a README beside the
    // program, else the README of the source tree it was built from.
    static QString DocumentationUrl(const std::string& programFolder);
    // The words the strip shows for that address.
    static std::string LinkText();
    // The file dialog's filter: MP3 and WAV files in any letter case.
    static QString MusicFileFilter();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void InitCommands();
    void Img_BGM_MouseDown(int index);
    void ShowChoice();
    void ShowFileName();
    void Cmd_BGM_Click();
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void Timer1_Timer();
    void picDisplay_Click();
    void ReadCursorPosition();
    static std::optional<std::string> ChooseFileWithDialog(QWidget* owner);
    static void TellWithMessageBox(QWidget* owner, const QString& text);

    AppContext& app_;
    MusicChoice choice_;
    QtTextDrawer textDrawer_;
    DisplayStrip strip_;
    std::unique_ptr<IniWriter> fileWriter_;
    IniWriter* writer_ = nullptr;
    FileChooser chooseFile_;
    Teller tell_;
    QString documentationUrl_;

    QWidget* picC_ = nullptr;
    std::array<QLabel*, 3> imgBgm_{};
    std::array<QLabel*, 3> lblBgm_{};
    std::array<QPixmap, 2> imgRa_; // 0: option not chosen, 1: chosen
    QComboBox* bgmRepeat_ = nullptr;
    QLabel* lblFname_ = nullptr;
    Command* cmdBgm_ = nullptr;
    Command* cmdSet_ = nullptr;
    Command* cmdCan_ = nullptr;
    StripView* picDisplay_ = nullptr;
    QTimer* timer1_ = nullptr;
};

} // namespace kovessa
