#include "gui/controls/progress_bar.h"

#include "gui/controls/qt_progress_child.h"

namespace sealwise::gui {

ProgressBar::ProgressBar(QWidget* parent)
    : QFrame(parent),
      ownFactory_(std::make_unique<QtProgressChildFactory>(this)),
      model_(ownFactory_.get()) {
    model_.InitNewInstance(kSysButtonFace);
}

ProgressBar::ProgressBar(ProgressChildFactory* factory, QWidget* parent)
    : QFrame(parent), model_(factory) {
    model_.InitNewInstance(kSysButtonFace);
}

ProgressBar::~ProgressBar() { model_.DestroyChild(); }

QWidget* ProgressBar::hwnd() const {
    if (auto* child = dynamic_cast<QtProgressChild*>(model_.Child())) return child->Bar();
    return nullptr;
}

void ProgressBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (QWidget* indicator = hwnd()) indicator->setGeometry(contentsRect());
}

}  // namespace sealwise::gui
