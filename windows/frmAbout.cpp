#include "frmAbout.h"

#include <QLabel>
#include <QPushButton>

#include "desktop.h"
#include "geometry.h"
#include "help.h"
#include "program_state.h"
#include "texts.h"

namespace tarvona {

namespace {
constexpr int kTopic = 1090;
}

frmAbout::frmAbout(const ProgramState& state, Desktop& desktop, QWidget* parent)
    : QDialog(parent, kFixedDialog), m_desktop(desktop) {
    setObjectName("frmAbout");
    setWindowTitle(Text::tr("About Tarvona"));
    SetProgramIcon(this);
    SetClientTwips(this, 4830, 3330);
    setFont(NamedFont("Arial", 8.25));

    auto* version = new QLabel(Text::tr("Tarvona %1 (32 bit)").arg(state.AppVersion.c_str()), this);
    version->setObjectName("lblVersion");
    version->setFont(NamedFont("Arial", 12));
    version->adjustSize();
    version->resize(version->width(), Px(270));

    const char* notice[] = {
        QT_TRANSLATE_NOOP("Tarvona", "Copyright © 2026 the Tarvona developers."),
        QT_TRANSLATE_NOOP("Tarvona", "Released under the MIT License (see LICENSE).")};
    const char* names[] = {"lblCopyright", "lblCopyright2"};
    for (int i = 0; i < 2; ++i) {
        auto* line = new QLabel(Tr(notice[i]), this);
        line->setObjectName(names[i]);
        line->setFont(NamedFont("Arial", 9.75));
        line->setAlignment(Qt::AlignCenter);
        PlaceTwips(line, 0, 480 + 240 * i, 4830, 240);
    }
    // Sized to its text at left 2370; moved left only if a wide font would cut it off.
    version->move(qMax(0, qMin(Px(2370), width() - version->width())), Px(120));

    auto* okay = new QPushButton(Text::tr("&Okay"), this);
    okay->setObjectName("cmdOkay");
    PlaceTwips(okay, 360, 2640, 1215, 375);
    auto* information = new QPushButton(Text::tr("&Information"), this);
    information->setObjectName("cmdHelp");
    PlaceTwips(information, 1800, 2640, 1215, 375);
    setTabOrder(okay, information);
    connect(okay, &QPushButton::clicked, this, &QDialog::accept);
    connect(information, &QPushButton::clicked, this,
            [this] { m_desktop.help(kHelpFile, HelpCommand::Context, kTopic); });
    BindHelpKey(this, desktop, kTopic);
    CentreOnScreen(this);
}

}  // namespace tarvona
