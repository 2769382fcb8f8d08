#include "frmList.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <array>

#include "desktop.h"
#include "geometry.h"
#include "help.h"
#include "program_state.h"

namespace tarvona {

namespace {

constexpr int kTopic = 1050;

// Frequency column texts by code; "One Time" alone is not padded (its tab lines it up).
constexpr std::array<const char*, 10> kFrequencyColumn = {
    "Daily     ", "E/O Day   ", "Weekly    ", "E/O Week  ", "Monthly   ",
    "E/O Month ", "Yearly    ", "One Time",   "Every Boot", "Disabled  "};
constexpr std::array<const char*, 3> kStyleColumn = {"Normal   ", "Min.     ", "Max.     "};

struct Heading {
    const char* name;
    const char* caption;
    int left;
    int width;
};
constexpr std::array<Heading, 4> kHeadings = {{{"lblRun", "Next Run", 165, 660},
                                               {"lblFrequency", "Frequency", 1830, 780},
                                               {"lblWindow", "Window", 3450, 720},
                                               {"lblDesc", "Description", 4455, 810}}};

// Draws a line's tab characters at stops every eight character cells, as a list box does.
class TabStopDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QString text = plain.text;
        plain.text.clear();
        QStyle* style = plain.widget ? plain.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        QTextOption layout;
        layout.setTabStopDistance(8 * QFontMetricsF(option.font).horizontalAdvance(' '));
        layout.setWrapMode(QTextOption::NoWrap);
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(option.rect).adjusted(2, 0, 0, 0), text, layout);
        painter->restore();
    }
};

}  // namespace

std::string EventListLine(const EventTable& events, int slot) {
    const std::string& due = events.EventDue[slot];
    std::string line = due == kDueDisabled ? "Disabled  " : due == kDueNextRun ? "?         " : due;
    line += '\t';
    const int32_t frequency = events.EventFrequency[slot];
    if (frequency >= 0 && frequency < static_cast<int32_t>(kFrequencyColumn.size()))
        line += kFrequencyColumn[static_cast<size_t>(frequency)];
    line += '\t';
    const int32_t style = events.EventRunStyle[slot];
    if (style >= 0 && style < static_cast<int32_t>(kStyleColumn.size()))
        line += kStyleColumn[static_cast<size_t>(style)];
    return line + events.EventDescription[slot];
}

frmList::frmList(const ProgramState& state, Desktop& desktop, std::function<void(int)> pick,
                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      m_pick(std::move(pick)) {
    setObjectName("frmList");
    setWindowTitle("List Events");
    SetProgramIcon(this);
    resize(Px(6870), Px(4605));
    for (const Heading& heading : kHeadings) {
        auto* label = new QLabel(heading.caption, this);
        label->setObjectName(heading.name);
        label->setFont(NamedFont("Arial", 8.25));
        PlaceTwips(label, heading.left, 0, heading.width, 210);
        label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
    }
    m_list = new QListWidget(this);
    m_list->setObjectName("lstEvents");
    m_list->setAccessibleName("Events");
    m_list->setFont(NamedFont("Courier New", 8.25, true));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setItemDelegate(new TabStopDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    PlaceTwips(m_list, 120, 240, 6615, 3210);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int slot = 0; slot <= ProgramState::MaxEvent; ++slot)
        m_list->addItem(QString::fromLocal8Bit(EventListLine(state.Events, slot).c_str()));
    QApplication::restoreOverrideCursor();
    m_list->setCurrentRow(-1);
    m_list->clearSelection();

    connect(m_list, &QListWidget::itemDoubleClicked, this, &frmList::lstEvents_DblClick);
    BindHelpKey(this, desktop, kTopic);
    CentreOnScreen(this);
}

void frmList::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The outer size counts the title bar and borders.
    const QSize outer = frameGeometry().size();
    const int height = outer.height() - Px(600);
    const int width = outer.width() - Px(375);
    if (height < 0 || width < 0) return;
    m_list->resize(width, height);
}

void frmList::lstEvents_DblClick() {
    const int slot = m_list->currentRow();
    if (slot < 0 || slot > ProgramState::MaxEvent || m_list->selectedItems().isEmpty()) return;
    if (m_pick) m_pick(slot);
    accept();
}

}  // namespace tarvona
