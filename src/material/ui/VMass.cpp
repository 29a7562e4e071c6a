#include "VMass.h"

#include "CConfig.h"
#include "VMassListWidgetItem.h"
#include "VMassTexts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// An empty entry first, so that nothing is chosen until the user chooses.
QComboBox *vocabularyBox(const QStringList &names, const QString &objectName)
{
    auto *box = new QComboBox;
    box->setObjectName(objectName);
    box->setEditable(true);
    box->addItem(QString());
    box->addItems(names);
    return box;
}

QPushButton *button(const QString &text, const QString &objectName)
{
    auto *b = new QPushButton(text);
    b->setObjectName(objectName);
    return b;
}

} // namespace

VMass::VMass(QWidget *parent)
    : QSplitter(parent)
{
    addWidget(buildFilePane());
    addWidget(buildEditPane());
    setChildrenCollapsible(false);
    setStretchFactor(0, 3);
    setStretchFactor(1, 4);

    connect(addButton, &QPushButton::clicked, this, &VMass::addFiles);
    connect(removeButton, &QPushButton::clicked, this, &VMass::removeFiles);
    connect(evaluateButton, &QPushButton::clicked, this, &VMass::evalShader);
    connect(addParameterButton, &QPushButton::clicked, this, &VMass::addParameter);
    connect(removeParameterButton, &QPushButton::clicked, this, &VMass::removeParameter);
    connect(addProxyButton, &QPushButton::clicked, this, &VMass::addProxy);
    connect(removeProxyButton, &QPushButton::clicked, this, &VMass::removeProxy);
    connect(proxyBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &VMass::updateProxyTable);

    setWindowTitle(QLatin1String(VMassText::Title));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vmass")));
    setAttribute(Qt::WA_DeleteOnClose);
    updateButtons();
}

VMass::~VMass() = default;

QWidget *VMass::buildFilePane()
{
    fileList = new QListWidget;
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setMovement(QListView::Static);
    fileList->setUniformItemSizes(true);
    fileList->setWordWrap(false);
    fileList->setWrapping(false);
    fileList->setTextElideMode(Qt::ElideNone);
    fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList->setMinimumWidth(250);
    addButton = button(tr("Add"), QStringLiteral("addFilesButton"));
    removeButton = button(tr("Remove"), QStringLiteral("removeFilesButton"));

    auto *pane = new QWidget;
    auto *layout = new QGridLayout(pane);
    layout->setSpacing(3);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(fileList, 0, 0, 1, 2);
    layout->addWidget(addButton, 1, 0);
    layout->addWidget(removeButton, 1, 1);
    return pane;
}

QWidget *VMass::buildEditPane()
{
    const CConfig *config = CConfig::instance();

    shaderGroup = new QGroupBox(tr("Shader:"));
    shaderBox = vocabularyBox(config->shaders, QStringLiteral("shaderBox"));
    shaderBox->setInsertPolicy(QComboBox::NoInsert);
    evaluateButton = button(tr("Evaluate"), QStringLiteral("evaluateButton"));
    auto *shaderLayout = new QHBoxLayout(shaderGroup);
    shaderLayout->addWidget(shaderBox, 1);
    shaderLayout->addWidget(evaluateButton);

    parameterGroup = new QGroupBox(tr("Key / Value:"));
    parameterBox = vocabularyBox(config->parameters, QStringLiteral("parameterBox"));
    addParameterButton = button(tr("Add"), QStringLiteral("addParameterButton"));
    valueEdit = new QLineEdit;
    valueEdit->setObjectName(QStringLiteral("valueEdit"));
    removeParameterButton = button(tr("Remove"), QStringLiteral("removeParameterButton"));
    asteriskBox = new QComboBox;
    asteriskBox->setObjectName(QStringLiteral("asteriskBox"));
    asteriskBox->addItem(QLatin1String(VMassText::AsteriskRelative));
    asteriskBox->addItems(config->parameters);
    auto *parameterLayout = new QGridLayout(parameterGroup);
    parameterLayout->addWidget(parameterBox, 0, 0, 1, 2);
    parameterLayout->addWidget(addParameterButton, 0, 2);
    parameterLayout->addWidget(valueEdit, 1, 0, 1, 2);
    parameterLayout->addWidget(removeParameterButton, 1, 2);
    parameterLayout->addWidget(new QLabel(tr("Asterisk Value:")), 2, 0);
    parameterLayout->addWidget(asteriskBox, 2, 1, 1, 2);
    parameterLayout->setColumnStretch(1, 1);

    proxyGroup = new QGroupBox(tr("Proxy:"));
    proxyBox = vocabularyBox(config->proxies, QStringLiteral("proxyBox"));
    addProxyButton = button(tr("Add"), QStringLiteral("addProxyButton"));
    removeProxyButton = button(tr("Remove"), QStringLiteral("removeProxyButton"));
    keyTable = new QTableWidget(0, 2);
    keyTable->setObjectName(QStringLiteral("keyTable"));
    keyTable->horizontalHeader()->hide();
    keyTable->verticalHeader()->hide();
    keyTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    keyTable->setMinimumHeight(89);
    keyTable->setSelectionMode(QAbstractItemView::NoSelection);
    keyTable->setEditTriggers(QAbstractItemView::CurrentChanged);
    keyTable->setDragDropMode(QAbstractItemView::NoDragDrop);
    keyTable->setTextElideMode(Qt::ElideRight);
    auto *proxyLayout = new QGridLayout(proxyGroup);
    proxyLayout->addWidget(proxyBox, 0, 0);
    proxyLayout->addWidget(addProxyButton, 0, 1);
    proxyLayout->addWidget(removeProxyButton, 0, 2);
    proxyLayout->addWidget(keyTable, 1, 0, 1, 3);
    proxyLayout->setColumnStretch(0, 1);

    auto *pane = new QWidget;
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(shaderGroup);
    layout->addWidget(parameterGroup);
    layout->addWidget(proxyGroup, 1);
    return pane;
}

VMassListWidgetItem *VMass::entry(int row) const
{
    return static_cast<VMassListWidgetItem *>(fileList->item(row));
}

void VMass::updateButtons()
{
    const bool any = fileList->count() > 0;
    removeButton->setEnabled(any);
    shaderGroup->setEnabled(any);
    parameterGroup->setEnabled(any);
    proxyGroup->setEnabled(any);
}

void VMass::updateProxyTable(int selectionIndex)
{
    keyTable->setRowCount(0);
    if (selectionIndex <= 0)
        return;
    const QStringList keys = CConfig::instance()
                                 ->proxyParameters.value(selectionIndex - 1)
                                 .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    keyTable->setRowCount(keys.size());
    for (int row = 0; row < keys.size(); ++row) {
        keyTable->setRowHeight(row, 17);
        keyTable->setItem(row, 0, new QTableWidgetItem(keys.at(row)));
        keyTable->setItem(row, 1, new QTableWidgetItem);
    }
}

void VMass::evalShader()
{
    addData(AddDataShader);
}

void VMass::addParameter()
{
    addData(AddDataParameter);
}

void VMass::addProxy()
{
    addData(AddDataProxy);
}

void VMass::removeParameter()
{
    removeData(AddDataParameter);
}

void VMass::removeProxy()
{
    removeData(AddDataProxy);
}

void VMass::closeEvent(QCloseEvent *event)
{
    event->accept();
}
