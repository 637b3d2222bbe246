#include "launcher/qt_form.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include <csignal>
#include <string>
#include <vector>

namespace kovessa {
namespace {

std::vector<std::string> journal;

class JournalForm : public Form {
public:
    explicit JournalForm(std::string name) : name_(std::move(name)) {}

protected:
    void Form_Load() override { journal.push_back(name_ + " load"); }
    void Form_QueryUnload() override { journal.push_back(name_ + " query"); }
    void Form_Unload() override { journal.push_back(name_ + " unload"); }

private:
    std::string name_;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

TEST_F(FormTest, LoadCreatesTheNativeWindowWithoutShowingIt) {
    JournalForm form("a");
    form.Load();
    form.Load();
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.testAttribute(Qt::WA_WState_Created));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(journal, std::vector<std::string>{"a load"});
    form.Unload();
    form.Unload();
    EXPECT_EQ(journal, (std::vector<std::string>{"a load", "a query", "a unload"}));
    EXPECT_EQ(Form::LoadedCount(), 0);
}

TEST_F(FormTest, ACloseRequestUnloadsAndTheLastUnloadEndsTheLoop) {
    JournalForm form("a");
    form.ShowModeless();
    EXPECT_TRUE(form.isVisible());
    QTimer::singleShot(0, &form, [&] { form.close(); });
    // A watchdog: the loop must end by itself once nothing is loaded.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(journal, (std::vector<std::string>{"a load", "a query", "a unload"}));
}

TEST_F(FormTest, ModalShowReturnsOnceUnloaded) {
    JournalForm form("m");
    QTimer::singleShot(20, &form, [&] {
        journal.push_back(form.isVisible() ? "visible" : "hidden");
        form.Unload();
    });
    QTimer::singleShot(5000, &form, [&] {
        journal.push_back("watchdog");
        form.Unload();
    });
    form.ShowModal();
    EXPECT_EQ(journal, (std::vector<std::string>{"m load", "visible", "m query", "m unload"}));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FormTest, AnApplicationQuitDuringAModalShowUnloadsLikeAShutdown) {
    JournalForm form("m");
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QTimer::singleShot(5000, &form, [&] {
        journal.push_back("watchdog");
        form.Unload();
    });
    form.ShowModal();
    EXPECT_EQ(journal, (std::vector<std::string>{"m load", "m query", "m unload"}));
}

TEST_F(FormTest, TerminationSignalsUnloadEveryLoadedForm) {
    Form::InstallTerminationHandlers();
    for (int signal : {SIGTERM, SIGHUP}) {
        journal.clear();
        JournalForm hidden("h");
        JournalForm shown("s");
        hidden.Load();
        shown.ShowModeless();
        QTimer::singleShot(0, [signal] { ::raise(signal); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0) << signal;
        // Newest first, each through its whole unload.
        EXPECT_EQ(journal, (std::vector<std::string>{"h load", "s load", "s query", "s unload",
                                                     "h query", "h unload"}))
            << signal;
    }
}

// The show's renderer starts before the handlers are installed; a signal in that moment must
// neither end the process at once (leaving the renderer behind) nor be lost.
TEST_F(FormTest, ASignalCaughtBeforeTheHandlersIsActedOnOnceTheyAre) {
    Form::CatchTerminationSignals();
    ::raise(SIGTERM);
    Form::InstallTerminationHandlers();
    JournalForm form("f");
    form.Load();
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"f load", "f query", "f unload"}));
}

TEST_F(FormTest, TerminationDuringAModalShowReturnsFromIt) {
    Form::InstallTerminationHandlers();
    JournalForm form("m");
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    QTimer::singleShot(5000, &form, [&] {
        journal.push_back("watchdog");
        form.Unload();
    });
    form.ShowModal();
    EXPECT_EQ(journal, (std::vector<std::string>{"m load", "m query", "m unload"}));
}

} // namespace
} // namespace kovessa
