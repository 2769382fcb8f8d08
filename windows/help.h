#pragma once

#include <QPointer>
#include <QString>
#include <optional>

class QTextBrowser;

namespace tarvona {

class Desktop;

inline constexpr const char* kHelpFile = "tarvona.hlp";

// Tells the help system that the program needs no more help (HELP_QUIT); harmless when no help
// window is open.
void CloseHelp(Desktop& desktop);

// The bundled help document: one section per topic number, "contents" at its head.
class HelpDocument {
public:
    // The document for a help file name; every name the program uses maps to the bundled one.
    static const HelpDocument& ForFile(const QString& file);

    const QString& html() const { return m_html; }
    bool HasTopic(int topic) const;
    // The inner HTML of a topic's section, for pop-ups.
    std::optional<QString> TopicHtml(int topic) const;

private:
    explicit HelpDocument(QString html) : m_html(std::move(html)) {}
    QString m_html;
};

// Our help window: the help commands of the program land here.
class HelpViewer {
public:
    ~HelpViewer();
    void ShowContents(const QString& file);
    void ShowTopic(const QString& file, int topic);
    void ShowPopup(const QString& file, int topic);
    void Quit();

    // The open help window, if any (for tests and screenshots).
    QTextBrowser* window() const;

private:
    QTextBrowser* Open(const QString& file);
    QPointer<QTextBrowser> m_window;
};

}  // namespace tarvona

class QWidget;

namespace tarvona {

// F1 anywhere in the window opens its help topic.
void BindHelpKey(QWidget* window, Desktop& desktop, int topic);

}  // namespace tarvona
