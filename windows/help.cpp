#include "help.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "desktop.h"
#include "geometry.h"
#include "texts.h"
#include "window_role.h"

namespace tarvona {

void CloseHelp(Desktop& desktop) {
    desktop.help(kHelpFile, HelpCommand::Quit, 0);
}

const HelpDocument& HelpDocument::ForFile(const QString&) {
    // The translation names the help document of its language.
    static const HelpDocument document([] {
        //: The help document in this language, :/tarvona/help_<language>.html
        QFile file(Text::tr(":/tarvona/help.html"));
        if (!file.exists()) file.setFileName(":/tarvona/help.html");
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }());
    return document;
}

QList<int> HelpDocument::Topics() const {
    QList<int> topics;
    static const QRegularExpression id(QStringLiteral("<div id=\"topic(\\d+)\">"));
    for (auto match = id.globalMatch(m_html); match.hasNext();)
        topics.append(match.next().captured(1).toInt());
    return topics;
}

std::optional<QString> HelpDocument::SectionHtml(const QString& id) const {
    const QRegularExpression section(
        QStringLiteral("<div id=\"%1\">(.*?)</div>").arg(QRegularExpression::escape(id)),
        QRegularExpression::DotMatchesEverythingOption);
    const auto match = section.match(m_html);
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1);
}

std::optional<QString> HelpDocument::TopicHtml(int topic) const {
    return SectionHtml(QStringLiteral("topic%1").arg(topic));
}

QUrl HelpDocument::ContentsAddress() {
    return QUrl(QStringLiteral("help:/contents"));
}

QUrl HelpDocument::TopicAddress(int topic) {
    return QUrl(QStringLiteral("help:/topic%1").arg(topic));
}

namespace {

QString MissingTopic(const QString& name) {
    return Text::tr(
               "<h2>Topic missing</h2><p>The help topic %1 is missing from the help document.</p>")
        .arg(name.toHtmlEscaped());
}

// The window shows one page at a time and follows links between pages, with the browser's
// own history (Alt+Left goes back).
class HelpBrowser final : public QTextBrowser {
public:
    QVariant loadResource(int type, const QUrl& address) override {
        if (type == QTextDocument::HtmlResource && address.scheme() == QLatin1String("help"))
            return HelpDocument::ForFile(kHelpFile).PageHtml(address);
        return QTextBrowser::loadResource(type, address);
    }
};

}  // namespace

QString HelpDocument::PageHtml(const QUrl& address) const {
    const QString id = address.path().mid(1);  // "contents" or "topicN"
    QString name = id;
    name.remove(QRegularExpression("^topic"));
    QString body = SectionHtml(id).value_or(MissingTopic(name));
    if (id != QLatin1String("contents"))
        body += QStringLiteral("<hr><p><a href=\"contents\">%1</a></p>").arg(Text::tr("Contents"));
    return QStringLiteral("<html><head><title>%1</title></head><body>%2</body></html>")
        .arg(Text::tr("Tarvona Help"), body);
}

HelpViewer::~HelpViewer() {
    delete m_window.data();
}

QTextBrowser* HelpViewer::window() const {
    return m_window.data();
}

// A window of its own, owned by no other window of the program, so that a window open modal
// over the editor never blocks it.
QTextBrowser* HelpViewer::Open() {
    if (!m_window) {
        // The window the help is about, so that it opens beside it rather than over it.
        const QWidget* explained = QApplication::activeWindow();
        m_window = new HelpBrowser;
        m_window->setObjectName("helpWindow");
        m_window->setWindowTitle(Text::tr("Tarvona Help"));
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setOpenLinks(true);
        m_window->resize(Px(7200), Px(6000));
        SetProgramIcon(m_window);
        for (const QKeySequence& key :
             {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            auto* close = new QShortcut(key, m_window);
            QObject::connect(close, &QShortcut::activated, m_window, &QWidget::close);
        }
        if (explained)
            PlaceBeside(m_window, explained);
        else
            CentreOnScreen(m_window);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

void HelpViewer::ShowContents(const QString&) {
    Open()->setSource(HelpDocument::ContentsAddress());
}

void HelpViewer::ShowTopic(const QString&, int topic) {
    Open()->setSource(HelpDocument::TopicAddress(topic));
}

namespace {

// A pop-up topic: a small frameless window at the control it explains. It takes the keyboard
// focus, so that a screen reader reads it, and goes at Esc, at a click and when another window
// is chosen. Not a Qt::Popup, which the accessibility tree leaves out.
class HelpPopup final : public QFrame {
public:
    HelpPopup(const QString& html, QWidget* owner)
        : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint) {
        setObjectName("helpPopup");
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        SetWindowRole(this, QAccessible::Window);
        QTextDocument document;
        document.setHtml(html);
        const QString heading = document.firstBlock().text();
        setWindowTitle(heading);

        auto* text = new QLabel(html, this);
        text->setObjectName("popupText");
        text->setWordWrap(true);
        text->setMaximumWidth(Px(4800));
        text->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
        text->setFocusPolicy(Qt::StrongFocus);
        text->setAccessibleName(heading);
        text->setAccessibleDescription(document.toPlainText().mid(heading.size()).trimmed());
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(Px(90), Px(60), Px(90), Px(60));
        layout->addWidget(text);
        setFocusProxy(text);
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(close, &QShortcut::activated, this, &HelpPopup::Dismiss);
    }

    // Placed at the point, moved in so that the whole of it is on the screen.
    void ShowAt(QPoint at) {
        adjustSize();
        if (const QScreen* screen = QGuiApplication::screenAt(at)) {
            const QRect room = screen->availableGeometry();
            at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - width())));
            at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() - height())));
        }
        m_explained = QApplication::focusWidget();
        move(at);
        show();
        activateWindow();
        setFocus(Qt::PopupFocusReason);
    }

    // Closed by the user, it gives the focus back to the control it explains.
    void Dismiss() {
        close();
        if (m_explained) {
            m_explained->activateWindow();
            m_explained->setFocus(Qt::PopupFocusReason);
        }
    }

protected:
    void mousePressEvent(QMouseEvent*) override { Dismiss(); }
    void changeEvent(QEvent* event) override {
        QFrame::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && m_wasActive && !isActiveWindow()) close();
        m_wasActive = isActiveWindow();
    }

private:
    bool m_wasActive = false;
    QPointer<QWidget> m_explained;
};

}  // namespace

void HelpViewer::ShowPopup(const QString& file, int topic) {
    auto html = HelpDocument::ForFile(file).TopicHtml(topic);
    // Asked by a right press, at the pointer; by the keyboard, below the focused control.
    QPoint at = QCursor::pos();
    if (QWidget* focus = QApplication::focusWidget();
        focus && !(QGuiApplication::mouseButtons() & Qt::RightButton))
        at = focus->mapToGlobal(QPoint(0, focus->height()));
    if (m_popup) m_popup->close();
    auto* popup = new HelpPopup(html.value_or(MissingTopic(QString::number(topic))),
                                QApplication::activeWindow());
    m_popup = popup;
    popup->ShowAt(at);
}

QWidget* HelpViewer::popup() const {
    return m_popup.data();
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
