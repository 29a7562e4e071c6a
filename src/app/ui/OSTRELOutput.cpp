#include "OSTREL.h"

#include "BuildInfo.h"
#include "CConfig.h"
#include "uifunctions.h"

#include <QFontDatabase>
#include <QMdiArea>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextEdit>

namespace {
const char *const OutputTitle = "Output";
const char *const OutputTitleCounted = "Output (%1)";

// "Lucida Console" where it is installed, else the desktop's fixed-pitch
// font, else whatever the font matcher serves for "monospace". Asked for, not
// checked: what a machine's fonts report about themselves varies (some
// monospaced faces do not say so), and the style hint already makes every
// fallback a fixed-pitch face.
QFont outputFont()
{
    QStringList families{QStringLiteral("Lucida Console")};
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Only a desktop that names a fixed font has one; otherwise this is the
    // ordinary interface font.
    if (system.styleHint() == QFont::TypeWriter || system.styleHint() == QFont::Monospace ||
        system.fixedPitch())
        families << system.family();
    families << QStringLiteral("monospace");
    QFont font;
    font.setFamilies(families);
    font.setFamily(families.first());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(8);
    return font;
}
} // namespace

void OSTREL::createOutputPane()
{
    m_output = new QTextEdit;
    m_output->setObjectName(QStringLiteral("outputPane"));
    m_output->setFont(outputFont());
    m_output->setMinimumSize(657, 305);
    m_output->setReadOnly(true);
    m_output->setAcceptRichText(false);
    m_output->setUndoRedoEnabled(false);
    QPalette palette = m_output->palette();
    palette.setColor(QPalette::Text, QColor(192, 192, 192, 255));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setBrush(group, QPalette::Base, QBrush(Qt::black, Qt::SolidPattern));
    m_output->setPalette(palette);
    m_output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_output->setWindowIcon(QIcon(QStringLiteral(":/resources/icons/application_output")));
    m_output->setWindowTitle(QString::fromLatin1(OutputTitle));
    m_output->setPlainText(QStringLiteral("OSTREL, built ") + buildDate());
    m_unreadCount = 0;

    m_outputSubWindow = m_mdiArea->addSubWindow(m_output);
    m_outputSubWindow->setObjectName(QStringLiteral("outputSubWindow"));
    // Closing the pane only hides it; showOUTPUT() brings it back.
    m_outputSubWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    m_outputSubWindow->setWindowTitle(QString::fromLatin1(OutputTitle));
    connect(m_outputSubWindow, &QMdiSubWindow::windowStateChanged, this,
            &OSTREL::resetMessageCount);
    if (CConfig::instance()->minimize_output_on_startup)
        m_outputSubWindow->showMinimized();
    else
        m_outputSubWindow->showNormal();
}

void OSTREL::output(const QString &text, bool show)
{
    if (!show || !m_output)
        return;
    // Inserted as plain text: messages quote file names and file contents,
    // which must never be read as markup.
    QScrollBar *bar = m_output->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();
    appendPlainLine(m_output, text);
    if (atBottom)
        bar->setValue(bar->maximum());

    const bool outOfSight =
        !m_output->isVisible() || (m_outputSubWindow && m_outputSubWindow->isMinimized());
    if (outOfSight) {
        ++m_unreadCount;
        updateOutputTitle();
    }
}

void OSTREL::updateOutputTitle()
{
    const QString title = m_unreadCount > 0
                              ? QString::fromLatin1(OutputTitleCounted).arg(m_unreadCount)
                              : QString::fromLatin1(OutputTitle);
    m_output->setWindowTitle(title);
    if (m_outputSubWindow)
        m_outputSubWindow->setWindowTitle(title);
}

void OSTREL::resetMessageCount(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    Q_UNUSED(oldState);
    if ((newState & Qt::WindowMinimized) || m_showingOutputMinimised)
        return;
    m_unreadCount = 0;
    updateOutputTitle();
}

void OSTREL::showOutputPane()
{
    if (!m_outputSubWindow)
        return;
    if (m_outputSubWindow->isHidden())
        m_output->setVisible(true);
    m_outputSubWindow->showNormal();
    m_mdiArea->setActiveSubWindow(m_outputSubWindow);
}

void OSTREL::showOUTPUT()
{
    if (!m_outputSubWindow)
        return;
    if (m_outputSubWindow->isHidden()) {
        // On its way back the sub-window is activated before it is minimised;
        // that passing state is not the user looking at the pane, so the
        // unread count stays until the pane is restored.
        const QScopedValueRollback<bool> keepCount(m_showingOutputMinimised, true);
        m_outputSubWindow->showMinimized();
        m_output->setVisible(true);
    } else if (m_outputSubWindow->isMinimized()) {
        m_outputSubWindow->showNormal();
    } else if (m_mdiArea->activeSubWindow() == m_outputSubWindow) {
        m_outputSubWindow->hide();
    } else {
        m_mdiArea->setActiveSubWindow(m_outputSubWindow);
    }
}
