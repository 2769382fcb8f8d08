#include "frmList.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <array>

#include "dates.h"
#include "desktop.h"
#include "geometry.h"
#include "help.h"
#include "program_state.h"
#include "texts.h"

namespace tarvona {

namespace {

constexpr int kTopic = 1050;

// A column's word and the cells it is padded to before its tab.
struct ColumnWord {
    const char* word;
    size_t cells;
};
// Frequency column words by code; "One Time" alone is not padded (its tab lines it up).
constexpr std::array<ColumnWord, 10> kFrequencyColumn = {{
    {QT_TRANSLATE_NOOP("Tarvona", "Daily"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "E/O Day"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "Weekly"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "E/O Week"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "Monthly"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "E/O Month"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "Yearly"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "One Time"), 8},
    {QT_TRANSLATE_NOOP("Tarvona", "Every Boot"), 10},
    {QT_TRANSLATE_NOOP("Tarvona", "Disabled"), 10},
}};
constexpr ColumnWord kDisabledDate = {QT_TRANSLATE_NOOP("Tarvona", "Disabled"), 10};
constexpr std::array<ColumnWord, 3> kStyleColumn = {{{QT_TRANSLATE_NOOP("Tarvona", "Normal"), 9},
                                                     {QT_TRANSLATE_NOOP("Tarvona", "Min."), 9},
                                                     {QT_TRANSLATE_NOOP("Tarvona", "Max."), 9}}};

// Each heading stands over the character cell its column starts at.
struct Heading {
    const char* name;
    const char* caption;
    int cell;
    int width;
};
constexpr std::array<Heading, 4> kHeadings = {
    {{"lblRun", QT_TRANSLATE_NOOP("Tarvona", "Next Run"), 0, 660},
     {"lblFrequency", QT_TRANSLATE_NOOP("Tarvona", "Frequency"), 16, 780},
     {"lblWindow", QT_TRANSLATE_NOOP("Tarvona", "Window"), 32, 720},
     {"lblDesc", QT_TRANSLATE_NOOP("Tarvona", "Description"), 41, 810}}};

// Where a line's text starts inside an item, in pixels.
constexpr int kTextIndent = 2;

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
        painter->drawText(QRectF(option.rect).adjusted(kTextIndent, 0, 0, 0), text, layout);
        painter->restore();
    }
};

// Opened with nothing chosen, the list stays so when it takes the focus: a screen reader hears
// the list, not its first line as if that were chosen. Down still goes to the first line.
class EventListBox final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* event) override {
        if (currentIndex().isValid()) return QListWidget::focusInEvent(event);
        QAbstractScrollArea::focusInEvent(event);
        viewport()->update();
    }
};

// A line's columns as a screen reader should say them: the words, without padding and tabs.
QString SpokenLine(const EventTable& events, int slot, const std::string& dateHint) {
    const auto word = [](const ColumnWord& column) { return Tr(column.word); };
    const std::string& due = events.EventDue[slot];
    QStringList words = {due == kDueDisabled
                             ? word(kDisabledDate)
                             : QString::fromLocal8Bit(DateInLanguageOrder(due, dateHint).c_str())};
    const int32_t frequency = events.EventFrequency[slot];
    if (frequency >= 0 && frequency < static_cast<int32_t>(kFrequencyColumn.size()))
        words.append(word(kFrequencyColumn[static_cast<size_t>(frequency)]));
    const int32_t style = events.EventRunStyle[slot];
    if (style >= 0 && style < static_cast<int32_t>(kStyleColumn.size()))
        words.append(word(kStyleColumn[static_cast<size_t>(style)]));
    if (!events.EventDescription[slot].empty())
        words.append(QString::fromLocal8Bit(events.EventDescription[slot].c_str()));
    return words.join(", ");
}

}  // namespace

std::string EventListLine(const EventTable& events, int slot,
                          const std::function<std::string(const std::string&)>& word,
                          const std::string& dateHint) {
    // A column word as written, or in the user's language padded alike and never running into
    // the next column (room for 15 cells before its tab, 8 in the style column).
    // Widths count characters, not the bytes of their UTF-8.
    auto shown = [&word](const ColumnWord& column, size_t room) {
        std::string text;
        size_t cells = 0;
        for (const char c : word ? word(column.word) : std::string(column.word)) {
            const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            if (starts && cells == room) break;
            cells += starts;
            text += c;
        }
        return text + std::string(cells < column.cells ? column.cells - cells : 0, ' ');
    };
    const std::string& due = events.EventDue[slot];
    std::string line = due == kDueDisabled  ? shown(kDisabledDate, 15)
                       : due == kDueNextRun ? "?         "
                                            : DateInLanguageOrder(due, dateHint);
    line += '\t';
    const int32_t frequency = events.EventFrequency[slot];
    if (frequency >= 0 && frequency < static_cast<int32_t>(kFrequencyColumn.size()))
        line += shown(kFrequencyColumn[static_cast<size_t>(frequency)], 15);
    line += '\t';
    const int32_t style = events.EventRunStyle[slot];
    if (style >= 0 && style < static_cast<int32_t>(kStyleColumn.size()))
        line += shown(kStyleColumn[static_cast<size_t>(style)], 8);
    return line + events.EventDescription[slot];
}

frmList::frmList(const ProgramState& state, Desktop& desktop, std::function<void(int)> pick,
                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      m_pick(std::move(pick)) {
    setObjectName("frmList");
    setWindowTitle(Text::tr("List Events"));
    SetProgramIcon(this);
    resize(Px(6870), Px(4605));
    m_list = new EventListBox(this);
    m_list->setObjectName("lstEvents");
    m_list->setAccessibleName(Text::tr("Events"));
    m_list->setFont(NamedFont("Courier New", 8.25, true));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setItemDelegate(new TabStopDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    PlaceTwips(m_list, 120, 240, 6615, 3210);

    // The cells are those of the list's real font, which is wider or narrower than Courier New.
    const double cell = QFontMetricsF(m_list->font()).horizontalAdvance(' ');
    const int textLeft = m_list->x() + m_list->frameWidth() + kTextIndent;
    for (const Heading& heading : kHeadings) {
        auto* label = new QLabel(Tr(heading.caption), this);
        label->setObjectName(heading.name);
        label->setFont(NamedFont("Arial", 8.25));
        label->setGeometry(textLeft + qRound(heading.cell * cell), 0,
                           qMax(Px(heading.width), label->sizeHint().width()), Px(210));
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string dateHint = Text::tr("mm-dd-yyyy").toLocal8Bit().toStdString();
    for (int slot = 0; slot <= ProgramState::MaxEvent; ++slot) {
        const QString line = QString::fromLocal8Bit(
            EventListLine(
                state.Events, slot,
                [](const std::string& english) { return Tr(english).toLocal8Bit().toStdString(); },
                dateHint)
                .c_str());
        auto* item = new QListWidgetItem(line, m_list);
        item->setData(Qt::AccessibleTextRole, SpokenLine(state.Events, slot, dateHint));
    }
    QApplication::restoreOverrideCursor();
    m_list->setCurrentRow(-1);
    m_list->clearSelection();

    connect(m_list, &QListWidget::itemDoubleClicked, this, &frmList::lstEvents_DblClick);
    BindHelpKey(this, desktop, kTopic);
    CentreOnScreen(this);
}

// The outer size counts the title bar and borders, which the window manager makes known only
// after the window is shown, and which change on maximise and restore: the list is fitted again
// on each of these.
bool frmList::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            FitList();
            break;
        default:
            break;
    }
    return handled;
}

// Outer height less 600 twips, outer width less 375; a size that would be negative is not
// taken. The list never reaches past the window's inner edges, which these margins allow by a
// pixel with some frames.
void frmList::FitList() {
    const QSize outer = frameGeometry().size();
    const int height = outer.height() - Px(600);
    const int width = outer.width() - Px(375);
    if (height < 0 || width < 0) return;
    m_list->resize(qMin(width, this->width() - m_list->x()),
                   qMin(height, this->height() - m_list->y()));
}

void frmList::lstEvents_DblClick() {
    const int slot = m_list->currentRow();
    if (slot < 0 || slot > ProgramState::MaxEvent || m_list->selectedItems().isEmpty()) return;
    if (m_pick) m_pick(slot);
    accept();
}

}  // namespace tarvona
