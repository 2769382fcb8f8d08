#include "help.h"

#include <QCursor>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QWhatsThis>

#include "desktop.h"
#include "geometry.h"

namespace tarvona {

void CloseHelp(Desktop& desktop) {
    desktop.help(kHelpFile, HelpCommand::Quit, 0);
}

const HelpDocument& HelpDocument::ForFile(const QString&) {
    static const HelpDocument document([] {
        QFile file(":/tarvona/help.html");
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }());
    return document;
}

bool HelpDocument::HasTopic(int topic) const {
    return m_html.contains(QStringLiteral("id=\"topic%1\"").arg(topic));
}

std::optional<QString> HelpDocument::TopicHtml(int topic) const {
    const QRegularExpression section(QStringLiteral("<div id=\"topic%1\">(.*?)</div>").arg(topic),
                                     QRegularExpression::DotMatchesEverythingOption);
    const auto match = section.match(m_html);
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1);
}

namespace {
QString MissingTopic(int topic) {
    return QStringLiteral(
               "<h2>Topic missing</h2><p>The help topic %1 is missing from the help "
               "document.</p>")
        .arg(topic);
}
}  // namespace

HelpViewer::~HelpViewer() {
    delete m_window.data();
}

QTextBrowser* HelpViewer::window() const {
    return m_window.data();
}

QTextBrowser* HelpViewer::Open(const QString& file) {
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setObjectName("helpWindow");
        m_window->setWindowTitle("Tarvona Help");
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setOpenLinks(true);
        m_window->resize(Px(7200), Px(6000));
        SetProgramIcon(m_window);
    }
    m_window->setHtml(HelpDocument::ForFile(file).html());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

void HelpViewer::ShowContents(const QString& file) {
    Open(file)->scrollToAnchor("contents");
}

void HelpViewer::ShowTopic(const QString& file, int topic) {
    const HelpDocument& document = HelpDocument::ForFile(file);
    if (!document.HasTopic(topic)) {
        Open(file)->setHtml(MissingTopic(topic));
        return;
    }
    auto html = document.TopicHtml(topic);
    Open(file)->setHtml(*html + "<p><a href=\"#contents\">Contents</a></p>");
}

void HelpViewer::ShowPopup(const QString& file, int topic) {
    auto html = HelpDocument::ForFile(file).TopicHtml(topic);
    QWhatsThis::showText(QCursor::pos(), html.value_or(MissingTopic(topic)));
}

void HelpViewer::Quit() {
    if (m_window) m_window->close();
}

}  // namespace tarvona

#include <QShortcut>

namespace tarvona {

void BindHelpKey(QWidget* window, Desktop& desktop, int topic) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [&desktop, topic] { desktop.help(kHelpFile, HelpCommand::Context, topic); });
}

}  // namespace tarvona
