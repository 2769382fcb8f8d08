#pragma once

#include <QDialog>

class QCalendarWidget;

namespace tarvona {

struct ProgramState;
class Desktop;
class Clock;

// A month calendar that starts on today; a double-click or Enter stores the day in PickedDate,
// the close box stores nothing.
class frmCalendar final : public QDialog {
    Q_OBJECT
public:
    frmCalendar(ProgramState& state, Desktop& desktop, const Clock& clock,
                QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void StoreChosenDay();
    void ColourWeekends();

    ProgramState& m_state;
    QCalendarWidget* m_calendar;
};

}  // namespace tarvona
