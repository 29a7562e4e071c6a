#include "VFGD.h"

#include "CFileFGD.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "QListDialog.h"

#include <QIcon>
#include <QSplitter>

namespace {
const char *const OpenCaption = "Open FGD";
const char *const Filter = "Forge Game Data (*.fgd)";
} // namespace

VFGD::VFGD(CFileFGD *document)
{
    setAttribute(Qt::WA_DeleteOnClose);
    buildMenus();
    buildPopupMenus();
    buildTables();

    m_mainSplitter = new QSplitter(Qt::Horizontal, this);
    m_mainSplitter->addWidget(buildLeftSide());
    m_mainSplitter->addWidget(buildRightPanel());
    m_mainSplitter->setCollapsible(0, false);
    m_mainSplitter->setCollapsible(1, false);
    m_mainSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_mainSplitter);
    connectSignals();

    setWindowTitle(QStringLiteral("FGD Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/fgd.png")));
    resize(900, 600);
    // Nothing to edit until a document is shown.
    m_rightPanel->setEnabled(false);
    setDocument(document);
}

VFGD::~VFGD()
{
    // The editing widgets go first, while the document they may still write
    // to (a field that loses focus on the way out) is here.
    delete centralWidget();
    delete m_document;
}

void VFGD::fgdNew()
{
    if (!m_document)
        setDocument(new CFileFGD);
}

void VFGD::fgdOpen()
{
    const QString caption = QString::fromLatin1(OpenCaption);
    const QString filter = QString::fromLatin1(Filter);
    const QString path = MainWindowDialogs::openFileName(nullptr, caption, filter);
    if (path.isEmpty())
        return;
    // A missing, unreadable or unparsable file opens nothing and says nothing
    // (the parser has already asked about helpers it did not know).
    CFileFGD *loaded = CFileFGD::fromFile(path);
    if (!loaded)
        return;
    if (MainWindowTools::open("showVFGD", Q_ARG(CFileFGD *, loaded)))
        return;
    // Without a main window the further editor stands on its own.
    (new VFGD(loaded))->show();
}

// Entity definitions are edited in memory only: these entries stay disabled,
// and Import does nothing.
void VFGD::fgdSave() {}
void VFGD::fgdSaveAs() {}
void VFGD::fgdSaveCopyAs() {}
void VFGD::fgdImport() {}
void VFGD::fgdExport() {}

void VFGD::fgdReloadIncludes()
{
    if (!m_document)
        return;
    // Shows what the document names; nothing is read again.
    QListDialog dialog(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    dialog.setItems(m_document->includes, -1);
    dialog.execute();
    dialog.setItems(m_document->materialExclusions, -1);
    dialog.execute();
}
