#include "QtControls.h"

#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "QtEvents.h"
#include "QtText.h"
#include "QuillonError.h"

using QtText::FromQt;
using QtText::ToQt;

namespace {
std::string Bytes(const QVariant& value) {
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray ToBytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Lets only numbers be typed into an up-down's text box; a number out of range (or
// none) is made the up-down's value when the user leaves the box.
class UpDownValidator : public QIntValidator {
  public:
    explicit UpDownValidator(QtUpDown* owner) : QIntValidator(owner), owner_(owner) {}
    void fixup(QString& input) const override { input = QString::number(owner_->Value()); }

  private:
    QtUpDown* owner_;
};
}  // namespace

QtLabel::QtLabel(QWidget* parent) : QtControl(parent) {}

void QtLabel::SetCaption(const std::string& caption) {
    setText(QtText::Lines(caption));
}

QtFrame::QtFrame(QWidget* parent) : QtControl(parent) {}

void QtFrame::SetCaption(const std::string& caption) {
    setTitle(ToQt(caption));
}

QtButton::QtButton(QWidget* parent) : QtControl(parent) {
    // No button of these windows is a default one: Enter belongs to the control
    // that has the focus (the lists take it as a key of their own).
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { QtEvents::Raise(Click); });
}

void QtButton::SetCaption(const std::string& caption) {
    setText(ToQt(caption));
}

void QtButton::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event->key()) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

QtCheckBox::QtCheckBox(QWidget* parent) : QtControl(parent) {
    // clicked comes only from the user, after the state has changed.
    connect(this, &QCheckBox::clicked, this, [this] { QtEvents::Raise(Click); });
}

void QtCheckBox::SetCaption(const std::string& caption) {
    setText(ToQt(caption));
}

::CheckState QtCheckBox::Value() const {
    switch (checkState()) {
        case Qt::Checked:
            return ::CheckState::Ticked;
        case Qt::PartiallyChecked:
            return ::CheckState::Greyed;
        default:
            return ::CheckState::Unticked;
    }
}

void QtCheckBox::StoreValue(::CheckState value) {
    switch (value) {
        case ::CheckState::Ticked:
            setCheckState(Qt::Checked);
            break;
        case ::CheckState::Greyed:
            setCheckState(Qt::PartiallyChecked);
            break;
        default:
            setCheckState(Qt::Unchecked);
            break;
    }
}

void QtCheckBox::nextCheckState() {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

QtTextBox::QtTextBox(QWidget* parent) : QtControl(parent) {}

void QtTextBox::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtTextBox::SetText(const std::string& text) {
    text_ = text;
    setText(QtText::Lines(text));
    setCursorPosition(0);
}

std::string QtTextBox::Text() const {
    if (text() == QtText::Lines(text_))
        return text_;
    return FromQt(text());
}

QtMultiLineTextBox::QtMultiLineTextBox(QWidget* parent) : QtControl(parent) {}

void QtMultiLineTextBox::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtMultiLineTextBox::SetText(const std::string& text) {
    text_ = text;
    setPlainText(QtText::Lines(text));
}

std::string QtMultiLineTextBox::Text() const {
    if (!document()->isModified())
        return text_;
    return FromQt(toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

QtUpDown::QtUpDown(QtTextBox* buddy, QWidget* parent) : QtControl(parent), buddy_(buddy) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int delta : {1, -1}) {
        auto* arrow = new QToolButton(this);
        arrow->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        arrow->setFixedWidth(18);
        arrow->setObjectName(delta > 0 ? QStringLiteral("up") : QStringLiteral("down"));
        connect(arrow, &QToolButton::clicked, this, [this, delta] { Step(delta); });
        layout->addWidget(arrow);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    if (buddy_) {
        validator_ = new UpDownValidator(this);
        validator_->setRange(min_, max_);
        buddy_->setValidator(validator_);
        buddy_->installEventFilter(this);
        // Enter or leaving the box shows the value it stands for, in range.
        connect(buddy_, &QLineEdit::editingFinished, this, [this] { SetValue(Value()); });
    }
}

void QtUpDown::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtUpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = max < min ? min : max;
    if (validator_)
        validator_->setRange(min_, max_);
    SetValue(value_);
}

int QtUpDown::Clamped(int value) const {
    return value < min_ ? min_ : (value > max_ ? max_ : value);
}

void QtUpDown::SetValue(int value) {
    value_ = Clamped(value);
    if (buddy_)
        buddy_->SetText(std::to_string(value_));
}

int QtUpDown::Value() const {
    if (!buddy_)
        return value_;
    bool number = false;
    const int typed = buddy_->text().trimmed().toInt(&number);
    return number ? Clamped(typed) : value_;
}

void QtUpDown::Step(int delta) {
    SetValue(Value() + delta);
}

bool QtUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched != buddy_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QtComboBox::QtComboBox(QWidget* parent) : QtControl(parent) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        text_ = Bytes(itemData(index));
        ShowText();
        QtEvents::Raise(Click);
    });
}

void QtComboBox::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtComboBox::Clear() {
    clear();
    ShowText();
}

void QtComboBox::AddItem(const std::string& item) {
    addItem(ToQt(item), ToBytes(item));
    // A combo box picks its first entry by itself; the text decides instead.
    ShowText();
}

void QtComboBox::SetText(const std::string& text) {
    text_ = text;
    ShowText();
}

void QtComboBox::ShowText() {
    const int entry = findData(ToBytes(text_));
    setCurrentIndex(entry);
    setPlaceholderText(entry < 0 ? ToQt(text_) : QString());
}

QtListView::QtListView(QWidget* parent) : QtControl(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setColumnCount(1);
    setHeaderHidden(true);
    header()->setStretchLastSection(true);
}

void QtListView::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtListView::SetColumns(const std::string& first, const std::string& second) {
    setColumnCount(second.empty() ? 1 : 2);
    setHeaderLabels(second.empty() ? QStringList{ToQt(first)}
                                   : QStringList{ToQt(first), ToQt(second)});
    setHeaderHidden(first.empty() && second.empty());
    // Half of the list to the first column: of the list's least width while its
    // window is still being made.
    if (!second.empty())
        header()->resizeSection(0, qMax(120, qMax(viewport()->width(), minimumWidth()) / 2));
}

void QtListView::ShowCleared() {
    clear();
}

void QtListView::ShowAdded(int, const std::string& text) {
    auto* item = new QTreeWidgetItem(this);
    item->setText(0, ToQt(text));
}

QTreeWidgetItem* QtListView::At(int index) const {
    CheckIndex(index);
    return topLevelItem(index - 1);
}

void QtListView::ShowSubItem(int index, const std::string& text) {
    At(index)->setText(1, ToQt(text));
}

int QtListView::SelectedIndex() const {
    // Of several, the first in the list (selectedItems() is in the order of selection).
    int first = 0;
    for (QTreeWidgetItem* item : selectedItems()) {
        const int index = indexOfTopLevelItem(item) + 1;
        if (first == 0 || index < first)
            first = index;
    }
    return first;
}

void QtListView::Select(int index) {
    if (index == 0) {
        selectionModel()->clear();
        return;
    }
    QTreeWidgetItem* item = At(index);
    // One item alone, even where the user may select several.
    if (MultiSelect())
        clearSelection();
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

void QtListView::ShowMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
}

bool QtListView::IsSelected(int index) const {
    return At(index)->isSelected();
}

void QtListView::AddToSelection(int index) {
    At(index)->setSelected(true);
}

QRect QtListView::ItemRect(int index) const {
    return visualItemRect(At(index));
}

void QtListView::RaiseItemClick(int index) {
    QtEvents::Raise([this, index] {
        if (ItemClick)
            ItemClick(index);
    });
}

void QtListView::keyPressEvent(QKeyEvent* event) {
    // Enter and Delete are the list's own keys (raised when released): Enter must
    // not reach the window and press some button instead.
    if (IsEnter(event->key()) || event->key() == Qt::Key_Delete) {
        event->accept();
        return;
    }
    const int before = SelectedIndex();
    QTreeWidget::keyPressEvent(event);
    const int after = SelectedIndex();
    if (after != 0 && after != before)
        RaiseItemClick(after);
}

void QtListView::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!IsEnter(key) && key != Qt::Key_Delete) {
        QTreeWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    const ListKey which = key == Qt::Key_Delete ? ListKey::Delete : ListKey::Enter;
    QtEvents::Raise([this, which] {
        if (KeyUp)
            KeyUp(which);
    });
}

void QtListView::mousePressEvent(QMouseEvent* event) {
    selectedAtPress_ = SelectedIndex();
    QTreeWidget::mousePressEvent(event);
}

// An item is clicked when the press made it the selected one, or when the press and
// the release fall on the selected item; a ctrl-click that leaves nothing selected
// is no click on an item.
void QtListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    const int selected = SelectedIndex();
    if (selected == 0)
        return;
    QTreeWidgetItem* under = itemAt(event->position().toPoint());
    const bool onSelected = under && indexOfTopLevelItem(under) + 1 == selected;
    if (selected != selectedAtPress_ || onSelected)
        RaiseItemClick(selected);
}

void QtListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (itemAt(event->position().toPoint()))
        QtEvents::Raise(DblClick);
}

QtStatusBar::QtStatusBar(QWidget* parent) : QtControl(parent) {}

void QtStatusBar::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtStatusBar::SetPanelCount(int count) {
    const std::size_t wanted = count < 0 ? 0 : static_cast<std::size_t>(count);
    while (panels_.size() < wanted) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setObjectName(QStringLiteral("panel%1").arg(panels_.size() + 1));
        // The first panel takes the room and cuts a long status short rather than
        // widening the window; the others keep to their text.
        if (panels_.empty()) {
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            addWidget(panel, 1);
        } else {
            addPermanentWidget(panel);
        }
        panels_.push_back(panel);
        texts_.emplace_back();
    }
    while (panels_.size() > wanted) {
        removeWidget(panels_.back());
        delete panels_.back();
        panels_.pop_back();
        texts_.pop_back();
    }
}

void QtStatusBar::SetPanelText(int panel, const std::string& text) {
    if (panel < 1)
        return;
    if (static_cast<std::size_t>(panel) > panels_.size())
        SetPanelCount(panel);
    const auto at = static_cast<std::size_t>(panel - 1);
    texts_[at] = text;
    panels_[at]->setText(ToQt(text));
}

std::string QtStatusBar::PanelText(int panel) const {
    if (panel < 1 || static_cast<std::size_t>(panel) > texts_.size())
        return "";
    return texts_[static_cast<std::size_t>(panel - 1)];
}

QtProgressBar::QtProgressBar(QWidget* parent) : QtControl(parent) {
    setTextVisible(false);
    ShowValue();
}

void QtProgressBar::SetCaption(const std::string& caption) {
    setAccessibleName(ToQt(caption));
}

void QtProgressBar::ShowValue() {
    setRange(0, ShownMax());
    setValue(ShownValue());
}
