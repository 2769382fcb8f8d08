#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "date_rules.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QDialog;

namespace tarvona {

struct ProgramState;
class Desktop;
class Shell;
class Clock;

// The event editor: one slot of the table at a time in five controls. The table reaches the
// settings file only when the window unloads: after Exit or the title-bar close the whole
// table, after Cancel only the version.
class frmTarvona final : public QWidget {
    Q_OBJECT
public:
    frmTarvona(ProgramState& state, Desktop& desktop, Shell& shell, const Clock& clock,
               std::function<void()> endProgram);

    void SetRecord(int slot);
    void GoToRecord(int slot);
    bool GoodDate();
    void BadDate();

    void cmdBack_Click();
    void cmdForward_Click();
    void cmdClear_Click();
    void cmdExit_Click();
    void cmdCancel_Click();
    void cmdTest_Click();
    void cmdBrowse_Click();
    void cmdCalendar_Click();
    void cmdMessage_Click();
    void cmdViewAll_Click();
    void cmdViewLog_Click();
    void cmdHelp_Click();
    void cmdAbout_Click();
    void cboFrequency_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TellUnusableTable();
    void BuildControls();
    void BuildStatusBar();
    bool NavigationKey(QEvent* event);
    void StoreRecord();
    // The next-run text to keep for what the box shows: the stored bytes while unchanged.
    std::string StoredNextRun(const std::string& stored) const;
    void SelectFrequency(int position);
    void SelectEditorTexts();
    // Saves the table; false (and the window stays) when the file could not be written.
    bool Unload();
    void OpenModal(QDialog* window, std::function<void()> afterClose);

    ProgramState& m_state;
    Desktop& m_desktop;
    Shell& m_shell;
    const Clock& m_clock;
    std::function<void()> m_endProgram;
    bool m_unloaded = false;
    DateStyle m_dates;  // next-run texts as the user's language writes them

    QLineEdit* m_description = nullptr;
    QLineEdit* m_command = nullptr;
    QLineEdit* m_nextRun = nullptr;
    QComboBox* m_style = nullptr;
    QComboBox* m_frequency = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QLabel* m_panels[3] = {};
    std::map<QObject*, QString> m_prompts;
    std::map<QObject*, int> m_topics;
    std::map<QObject*, int> m_keyTopics;  // boxes: their label's topic, for Shift+F1
};

}  // namespace tarvona
