#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <optional>

class QTextBrowser;
class QWidget;

namespace tarvona {

class Desktop;

inline constexpr const char* kHelpFile = "tarvona.hlp";

// Tells the help system that the program needs no more help (HELP_QUIT); harmless when no help
// window is open.
void CloseHelp(Desktop& desktop);

// The bundled help document: one section per topic number, "contents" at its head. Each section
// is shown as a page of its own, addressed help:/contents or help:/topicN, and its links name
// other pages relatively ("topic1110", "contents").
class HelpDocument {
public:
    // The document for a help file name; every name the program uses maps to the bundled one.
    static const HelpDocument& ForFile(const QString& file);

    // Every topic number the document holds, in document order.
    QList<int> Topics() const;
    // The inner HTML of a section ("contents", "topic1075"), for pop-ups and pages.
    std::optional<QString> SectionHtml(const QString& id) const;
    std::optional<QString> TopicHtml(int topic) const;
    // The page shown for an address: the section, a topic with a link back to the contents.
    QString PageHtml(const QUrl& address) const;

    static QUrl ContentsAddress();
    static QUrl TopicAddress(int topic);

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

    // The open help window and pop-up topic, if any (for tests and screenshots).
    QTextBrowser* window() const;
    QWidget* popup() const;

private:
    QTextBrowser* Open();
    QPointer<QTextBrowser> m_window;
    QPointer<QWidget> m_popup;
};

}  // namespace tarvona

class QWidget;

namespace tarvona {

// F1 anywhere in the window opens its help topic.
void BindHelpKey(QWidget* window, Desktop& desktop, int topic);

}  // namespace tarvona
