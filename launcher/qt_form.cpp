#include "launcher/qt_form.h"

#include "launcher/child_process.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace kovessa {

namespace {

std::vector<Form*>& LoadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

void Forget(Form* form) {
    auto& forms = LoadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

// A signal handler may do almost nothing, so it only writes the signal number into a pipe;
// the message loop reads it and unloads the windows as if each had been asked to close.
int signalPipe[2] = {-1, -1};

// A daemon waits for the hack it signalled without a time limit, so everything must be gone
// within a second: the renderer's own end takes a few milliseconds; this is the most it gets.
constexpr std::chrono::milliseconds kChildGrace{700};

// Whatever the end sequence meets (a sound device that does not let go, a stuck library), the
// process is gone by this time after the first signal, and takes its renderer with it: a daemon
// waiting for it would otherwise hang.
constexpr long kLastResortNanos = 900'000'000;
timer_t lastResort{};
bool lastResortReady = false;

void OnLastResort(int) {
    KillChildrenNow();
    ::_exit(1);
}

void OnTerminationSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    // Armed once: a second signal does not push the deadline back.
    static volatile sig_atomic_t armed = 0;
    if (lastResortReady && armed == 0) {
        armed = 1;
        itimerspec when{};
        when.it_value.tv_nsec = kLastResortNanos;
        timer_settime(lastResort, 0, &when, nullptr);
    }
    errno = saved;
}

} // namespace

Form::Form(QWidget* parent) : QWidget(parent) {}

Form::~Form() {
    Forget(this);
    if (modalLoop_ != nullptr) {
        modalLoop_->quit();
    }
}

void Form::Load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    LoadedForms().push_back(this);
    // A window that is never shown gets no X window until asked for one; the other processes
    // of Kovessa look for it by caption, so it must exist from the load on.
    winId();
    Form_Load();
}

void Form::ShowModeless() {
    Load();
    if (!unloading_) {
        show();
    }
}

void Form::ShowModal() {
    Load();
    if (unloading_) {
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    QPointer<Form> self(this);
    loop.exec();
    if (!self) {
        return;
    }
    modalLoop_ = nullptr;
    // The loop also ends when the whole application is asked to quit, and Qt then refuses to
    // run any loop again; that is a shutdown, and the window unloads as for any other.
    Unload();
}

void Form::Unload() {
    if (unloading_ || !loaded_) {
        return;
    }
    unloading_ = true;
    Form_QueryUnload();
    Form_Unload();
    hide();
    Forget(this);
    if (modalLoop_ != nullptr) {
        modalLoop_->quit();
    } else if (LoadedForms().empty()) {
        // Nothing of the program is left on screen or in the background: end the message loop
        // once the current handler has returned.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                if (LoadedForms().empty()) {
                    QCoreApplication::exit(0);
                }
            },
            Qt::QueuedConnection);
    }
}

void Form::closeEvent(QCloseEvent* event) {
    // Every close, whoever asks for it, takes the unload path.
    event->accept();
    Unload();
}

void Form::UnloadAll() {
    // Copy first: each unload changes the list, and a handler may end the process outright.
    std::vector<QPointer<Form>> forms;
    for (auto it = LoadedForms().rbegin(); it != LoadedForms().rend(); ++it) {
        forms.emplace_back(*it);
    }
    for (const QPointer<Form>& form : forms) {
        if (form) {
            form->Unload();
        }
    }
    QCoreApplication::exit(0);
}

int Form::LoadedCount() {
    return static_cast<int>(LoadedForms().size());
}

void Form::CatchTerminationSignals() {
    if (signalPipe[0] >= 0) {
        return;
    }
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction last = {};
    last.sa_handler = &OnLastResort;
    sigemptyset(&last.sa_mask);
    sigaction(SIGALRM, &last, nullptr);
    sigevent event{};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGALRM;
    lastResortReady = timer_create(CLOCK_MONOTONIC, &event, &lastResort) == 0;

    struct sigaction action = {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void Form::InstallTerminationHandlers() {
    static bool installed = false;
    CatchTerminationSignals();
    if (installed || signalPipe[0] < 0) {
        return;
    }
    installed = true;
    // A signal caught before is still in the pipe, so the notifier fires for it at once.
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[16];
        while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        // The renderer gets its signal first, so it ends while the music stops; the end of
        // the process then waits for it, and kills it if it has not gone in time.
        AskChildrenToEnd(kChildGrace);
        UnloadAll();
    });
}

} // namespace kovessa
