#pragma once
// Accessible interfaces for the program's own controls and windows, so that screen readers
// and test robots see language flags as radio buttons they can press, the star rating as one
// value, the tab strips as page tabs, and the windows as frames and dialogs.
#include <QAccessibleWidget>

namespace sealwise::gui {

// Registers the interfaces with Qt; call once after the application object exists.
void InstallAccessibleInterfaces();

// A language flag: a radio button, checked for the current language, pressed to choose it.
class FlagAccessible : public QAccessibleWidget {
  public:
    explicit FlagAccessible(QWidget* flag);
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
};

// The star rating: one element named by its label whose value is the number of stars.
class RatingAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit RatingAccessible(QWidget* rating);
    QString text(QAccessible::Text t) const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}  // the rating follows the passphrase
    QVariant maximumValue() const override;
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

}  // namespace sealwise::gui
