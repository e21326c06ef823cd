#include "gui/smoke_run.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "gui/about/welcome_window_names.h"
#include "gui/main/main_window_names.h"

namespace sealwise::gui {

namespace {

constexpr int kStepMilliseconds = 800;

QWidget* TopLevel(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) return window;
    }
    return nullptr;
}

void Fail(const char* what) {
    std::fprintf(stderr, "smoke run: %s\n", what);
    QApplication::exit(3);
}

void CloseMainWindow() {
    QWidget* main = TopLevel(main_names::kWindow);
    QWidget* box = main ? main->findChild<QWidget*>(main_names::kControlBox) : nullptr;
    if (!box) return Fail("the main window did not open");
    // The right half of the caption image is the close button.
    const QPointF at(box->width() - 4, box->height() / 2.0);
    QMouseEvent release(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &release);
}

void PressStart() {
    QWidget* welcome = TopLevel(welcome_window_names::kWindow);
    auto* start =
        welcome ? welcome->findChild<QPushButton*>(welcome_window_names::kStart) : nullptr;
    if (!start) return Fail("the welcome window did not open");
    start->click();
    QTimer::singleShot(kStepMilliseconds, CloseMainWindow);
}

}  // namespace

bool ScheduleSmokeRun() {
    if (qEnvironmentVariableIsEmpty(kSmokeTestVariable)) return false;
    QTimer::singleShot(kStepMilliseconds, PressStart);
    return true;
}

}  // namespace sealwise::gui
