#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QListWidget;

namespace tarvona {

struct EventTable;
struct ProgramState;
class Desktop;

// One line of the list: next run, tab, frequency, tab, style, description, each part padded so
// that with tab stops every eight cells the columns start at cells 0, 16, 32 and 41. word, when
// given, shows a column's word in the user's language (padded and cut to its column alike), and
// dateHint its dates in the language's order (see DateInLanguageOrder).
std::string EventListLine(const EventTable& events, int slot,
                          const std::function<std::string(const std::string&)>& word = {},
                          const std::string& dateHint = "mm-dd-yyyy");

// Every slot on one line, in slot order; a double-click hands the slot to pick and closes.
class frmList final : public QDialog {
    Q_OBJECT
public:
    frmList(const ProgramState& state, Desktop& desktop, std::function<void(int)> pick,
            QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    void FitList();
    void lstEvents_DblClick();

    std::function<void(int)> m_pick;
    QListWidget* m_list;
};

}  // namespace tarvona
