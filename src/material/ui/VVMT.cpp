#include "VVMT.h"

#include "CConfig.h"
#include "CPath.h"
#include "vmtbytes.h"
#include "vmtfunctions.h"

#include <QAction>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

const int ProxyKeysRole = Qt::UserRole;

QListWidget *vocabularyList(const QStringList &names, const QStringList &tips)
{
    auto *list = new QListWidget;
    for (int i = 0; i < names.size(); ++i) {
        auto *item = new QListWidgetItem(names.at(i), list);
        item->setToolTip(tips.value(i));
    }
    return list;
}

} // namespace

VVMT::VVMT(const QString &path)
{
    initialize();
    openFile(path);
}

VVMT::VVMT(const QByteArray &bytes, const QString &name)
{
    initialize();
    const int end = bytes.indexOf('\0');
    MaterialLineEnds ends;
    const QString text = decodeMaterialText(end < 0 ? bytes : bytes.left(end), &ends);
    setEditorText(text, ends);
    setWindowModified(false);
    m_displayName = CPath(name, true).fileName(false);
    setWindowTitle(m_displayName + QStringLiteral("[*]"));
}

VVMT::~VVMT() = default;

void VVMT::initialize()
{
    editor = new QTextEdit;
    editor->setObjectName(QStringLiteral("editor"));
    // Scripts are plain text: pasted or loaded markup stays as typed.
    editor->setAcceptRichText(false);
    editor->setTabStopDistance(32);
    editor->setLineWrapMode(QTextEdit::NoWrap);
    editor->setMinimumWidth(400);
    connect(editor, &QTextEdit::textChanged, this, &VVMT::vmtModified);

    buildMenus();
    buildLists();

    tabs = new QTabWidget;
    tabs->setTabPosition(QTabWidget::West);
    tabs->setTabsClosable(false);
    tabs->addTab(shaderList, tr("Shaders"));
    tabs->addTab(parameterList, tr("Parameters"));
    tabs->addTab(proxyList, tr("Proxies"));
    tabs->setFixedWidth(tabs->sizeHint().width());

    splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabs);
    splitter->addWidget(editor);
    splitter->setCollapsible(0, true);
    splitter->setCollapsible(1, false);
    splitter->setMinimumHeight(tabBarExtent(tabs).height());
    setCentralWidget(splitter);

    setMinimumSize(sizeHint());
    setWindowTitle(QStringLiteral("VMT Editor[*]"));
    setWindowModified(false);
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vvmt")));
    setAttribute(Qt::WA_DeleteOnClose);
}

QAction *VVMT::menuAction(QMenu *menu, const QString &label, const char *icon,
                          const std::function<void()> &slot)
{
    QAction *action = menu->addAction(QIcon(QLatin1String(icon)), label);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void VVMT::buildMenus()
{
    menuFile = menuBar()->addMenu(tr("File"));
    actionNew =
        menuAction(menuFile, tr("New"), ":/resources/icons/page_white_add", [this] { vmtNew(); });
    actionOpen = menuAction(menuFile, tr("Open..."), ":/resources/icons/folder_explore",
                            [this] { vmtOpen(); });
    actionSave = menuAction(menuFile, tr("Save"), ":/resources/icons/disk", [this] { vmtSave(); });
    actionSaveAs = menuAction(menuFile, tr("Save As..."), ":/resources/icons/page_white_disk",
                              [this] { vmtSaveAs(); });
    menuFile->addSeparator();
    actionExit = menuAction(menuFile, tr("Exit"), ":/resources/icons/cross", [this] { close(); });

    menuEdit = menuBar()->addMenu(tr("Edit"));
    actionUndo = menuAction(menuEdit, tr("Undo"), ":/resources/icons/arrow_undo",
                            [this] { editor->undo(); });
    actionRedo = menuAction(menuEdit, tr("Redo"), ":/resources/icons/arrow_redo",
                            [this] { editor->redo(); });
    menuEdit->addSeparator();
    actionCut = menuAction(menuEdit, tr("Cut"), ":/resources/icons/cut", [this] { editor->cut(); });
    actionCopy =
        menuAction(menuEdit, tr("Copy"), ":/resources/icons/page_copy", [this] { editor->copy(); });
    actionPaste = menuAction(menuEdit, tr("Paste"), ":/resources/icons/page_paste",
                             [this] { editor->paste(); });
    menuEdit->addSeparator();
    actionSelectAll = menuAction(menuEdit, tr("Select All"), ":/resources/icons/page_white_get",
                                 [this] { editor->selectAll(); });
}

void VVMT::buildLists()
{
    const CConfig *config = CConfig::instance();
    shaderList = vocabularyList(config->shaders, config->shaderTips);
    shaderList->setObjectName(QStringLiteral("shaderList"));
    parameterList = vocabularyList(config->parameters, config->parameterTips);
    parameterList->setObjectName(QStringLiteral("parameterList"));
    proxyList = vocabularyList(config->proxies, config->proxyTips);
    proxyList->setObjectName(QStringLiteral("proxyList"));
    // Each proxy item carries its key list, so a click never reads a
    // configuration that changed since the window was built.
    for (int i = 0; i < proxyList->count(); ++i)
        proxyList->item(i)->setData(ProxyKeysRole, config->proxyParameters.value(i));

    connect(shaderList, &QListWidget::clicked, this, &VVMT::addShader);
    connect(parameterList, &QListWidget::clicked, this, &VVMT::addParameter);
    connect(proxyList, &QListWidget::clicked, this, &VVMT::addProxy);
}

QRect VVMT::tabBarExtent(QTabWidget *tabWidget)
{
    QTabBar *bar = tabWidget ? tabWidget->tabBar() : nullptr;
    if (!bar || bar->count() == 0)
        return QRect(0, 0, -1, -1);
    const bool vertical = tabWidget->tabPosition() == QTabWidget::West ||
                          tabWidget->tabPosition() == QTabWidget::East;
    int along = 0;
    int across = 0;
    for (int i = 0; i < bar->count(); ++i) {
        const QSize size = bar->tabRect(i).size();
        along += vertical ? size.height() : size.width();
        across = qMax(across, vertical ? size.width() : size.height());
    }
    return vertical ? QRect(bar->pos(), QSize(across, along))
                    : QRect(bar->pos(), QSize(along, across));
}

QString VVMT::text() const
{
    // The raw text keeps a no-break space (toPlainText would turn it into a
    // blank); only the block separators become line feeds.
    QString raw = editor->document()->toRawText();
    for (QChar &c : raw) {
        const ushort code = c.unicode();
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xfdd0 ||
            code == 0xfdd1)
            c = QLatin1Char('\n');
    }
    return raw;
}

void VVMT::setEditorText(const QString &text, const MaterialLineEnds &ends)
{
    m_readText = text;
    m_readEnds = ends;
    editor->setPlainText(text);
}

QByteArray VVMT::scriptBytes() const
{
    const QString now = text();
    if (now == m_readText)
        return encodeMaterialText(now, m_readText, m_readEnds);
    return encodeMaterialText(now, m_readEnds.common());
}

void VVMT::editText(const std::function<void(QString &)> &edit)
{
    const QString before = text();
    QString after = before;
    edit(after);
    if (after == before)
        return;
    QTextCursor cursor(editor->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(after);
}

void VVMT::vmtModified()
{
    setWindowModified(true);
}

void VVMT::addShader(const QModelIndex &index)
{
    const QString shader = index.data().toString();
    editText([&shader](QString &text) { setVmtShader(text, shader); });
}

void VVMT::addParameter(const QModelIndex &index)
{
    const QString key = index.data().toString();
    editText([&key](QString &text) { setVmtKeyValue(text, key, QString()); });
}

void VVMT::addProxy(const QModelIndex &index)
{
    const QString name = index.data().toString();
    const QStringList keys =
        index.data(ProxyKeysRole).toString().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    editText([&](QString &text) { addVmtProxy(text, name, keys); });
}
