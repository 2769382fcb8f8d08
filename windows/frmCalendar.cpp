#include "frmCalendar.h"

#include <QCalendarWidget>
#include <QDate>
#include <QEvent>
#include <QTextCharFormat>

#include "clock.h"
#include "dates.h"
#include "desktop.h"
#include "geometry.h"
#include "help.h"
#include "program_state.h"
#include "texts.h"

namespace tarvona {

namespace {
constexpr int kTopic = 1040;

// The calendar counts whole days; OLE day numbers start on 30 December 1899.
qint64 OleDayZero() {
    static const qint64 zero = QDate(1899, 12, 30).toJulianDay();
    return zero;
}
}  // namespace

frmCalendar::frmCalendar(ProgramState& state, Desktop& desktop, const Clock& clock, QWidget* parent)
    : QDialog(parent, kFixedDialog), m_state(state) {
    setObjectName("frmCalendar");
    setWindowTitle(Text::tr("Select the Event Date"));
    SetProgramIcon(this);
    SetClientTwips(this, 6270, 4350);
    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName("CSCalendar");
    m_calendar->setAccessibleName(Text::tr("Event date"));
    // The focus is on the table of days inside, which a screen reader announces by itself.
    if (auto* days = m_calendar->findChild<QWidget*>("qt_calendar_calendarview"))
        days->setAccessibleName(Text::tr("Event date"));
    // Qt's month buttons show arrows only; a screen reader says where they go.
    const std::pair<const char*, const char*> monthButtons[] = {
        {"qt_calendar_prevmonth", QT_TRANSLATE_NOOP("Tarvona", "Previous month")},
        {"qt_calendar_nextmonth", QT_TRANSLATE_NOOP("Tarvona", "Next month")}};
    for (const auto& [name, text] : monthButtons)
        if (auto* button = m_calendar->findChild<QWidget*>(name))
            button->setAccessibleName(Tr(text));
    // The keyboard reaches every button of the month bar, as the pointer does.
    for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth",
                             "qt_calendar_monthbutton", "qt_calendar_yearbutton"})
        if (auto* button = m_calendar->findChild<QWidget*>(name))
            button->setFocusPolicy(Qt::TabFocus);
    m_calendar->setFont(NamedFont("MS Sans Serif", 8.25));
    m_calendar->setFirstDayOfWeek(Qt::Sunday);
    m_calendar->setToolTip(Text::tr("Double click to select."));
    m_calendar->setGridVisible(true);
    PlaceTwips(m_calendar, 0, 0, 6255, 4335);

    // The picker opens on today's date at any hour, as a whole day number.
    m_calendar->setSelectedDate(
        QDate::fromJulianDay(OleDayZero() + OleDayNumber(clock.Now().date)));
    connect(m_calendar, &QCalendarWidget::activated, this, &frmCalendar::StoreChosenDay);
    ColourWeekends();
    BindHelpKey(this, desktop, kTopic);
    CentreOnScreen(this);
}

// The calendar's own weekend red is too dark to read on a dark theme's cells: a light red
// there, a deep one on light cells.
void frmCalendar::ColourWeekends() {
    const bool darkCells = m_calendar->palette().color(QPalette::Base).lightness() < 128;
    QTextCharFormat weekend = m_calendar->weekdayTextFormat(Qt::Sunday);
    weekend.setForeground(darkCells ? QColor(255, 150, 150) : QColor(192, 0, 0));
    for (Qt::DayOfWeek day : {Qt::Saturday, Qt::Sunday})
        m_calendar->setWeekdayTextFormat(day, weekend);
}

void frmCalendar::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) ColourWeekends();
}

void frmCalendar::StoreChosenDay() {
    const auto day = static_cast<int32_t>(m_calendar->selectedDate().toJulianDay() - OleDayZero());
    m_state.PickedDate = FormatDate(FromOleDayNumber(day));
    accept();
}

}  // namespace tarvona
