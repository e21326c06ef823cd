#pragma once
// LightTab to assistive tools: a page tab list whose tabs are page tabs that can be selected
// (the "press" action), followed by the panels the owner put inside the strip.
#include <QAccessibleWidget>
#include <QPointer>
#include <map>

namespace sealwise::gui {

class LightTab;

class LightTabAccessible : public QAccessibleWidget {
  public:
    explicit LightTabAccessible(QWidget* strip);
    ~LightTabAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

  private:
    LightTab* Strip() const;
    QAccessibleInterface* Tab(int index) const;

    mutable std::map<int, QAccessible::Id> tabs_;  // created on first use, one per tab index
};

// One tab of the strip.
class LightTabPageAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    LightTabPageAccessible(LightTab* strip, int index);

    int Index() const { return index_; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<LightTab> strip_;
    int index_;
};

}  // namespace sealwise::gui
