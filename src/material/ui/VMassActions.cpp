// The bulk material editor's operations: filling the list and the per-file
// edit loop.
#include "VMass.h"

#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "PointerContainers.h"
#include "QProgressDialogger.h"
#include "VMassListWidgetItem.h"
#include "VMassTexts.h"
#include "uifunctions.h"
#include "vmtbulk.h"
#include "vmtbytes.h"
#include "vmtfunctions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

namespace {

QString text(const char *format, const QString &path)
{
    return QString::fromLatin1(format).arg(path);
}

bool isKnownType(AddDataType_t type)
{
    return type == AddDataShader || type == AddDataParameter || type == AddDataProxy;
}

QStringList columnTexts(const QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, column);
        texts << (item ? item->text() : QString());
    }
    return texts;
}

} // namespace

QProgressDialogger *VMass::openProgress(int count)
{
    auto *progress =
        new QProgressDialogger(QLatin1String(VMassText::Processing), 0, count, QString(), this);
    progress->setMinimumWidth(500);
    centerWidget(progress, this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->autoClose = true;
    progress->setModal(true);
    progress->show();
    m_progress = progress;
    return progress;
}

void VMass::logProblem(const QString &message, const QString &detail)
{
    if (!m_progress)
        return;
    m_progress->log(message, true);
    if (!detail.isEmpty())
        m_progress->log(QStringLiteral("    ") + detail);
}

void VMass::addFiles()
{
    const QStringList paths = MainWindowDialogs::openFileNames(
        nullptr, QLatin1String(VMassText::SelectFiles), QLatin1String(VMassText::FileFilter));
    if (paths.isEmpty()) {
        updateButtons();
        return;
    }
    QSet<QString> listed;
    for (int row = 0; row < fileList->count(); ++row)
        listed.insert(entry(row)->path);

    QProgressDialogger *progress = openProgress(paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        addPath(paths.at(i), listed);
        progress->setValue(i + 1);
    }
    if (m_progress)
        m_progress->setLabelText(QLatin1String(VMassText::Complete));
    updateButtons();
}

void VMass::addPath(const QString &path, QSet<QString> &listed)
{
    QString material = path;
    if (path.endsWith(QLatin1String(".vtf"), Qt::CaseInsensitive)) {
        material = path.left(path.size() - 4) + QStringLiteral(".vmt");
        if (!QFileInfo::exists(material)) {
            const int below = vmtMaterialsEnd(path);
            if (below < 0) {
                logProblem(text(VMassText::NoMaterialsFolder, path), QString());
                return;
            }
            const QString texture = path.mid(below, path.size() - 4 - below);
            QString error;
            if (!writeMaterialFile(material, encodeMaterialText(vmtTextureMaterial(texture)),
                                   error)) {
                logProblem(text(VMassText::CreateFailed, path), error);
                return;
            }
        }
    }
    if (listed.contains(material)) {
        if (m_progress)
            m_progress->log(text(VMassText::AlreadyListed, material));
        return;
    }
    listed.insert(material);
    new VMassListWidgetItem(material, vmtRelativePath(material), fileList);
}

void VMass::removeFiles()
{
    QList<QListWidgetItem *> taken = fileList->selectedItems();
    for (QListWidgetItem *item : qAsConst(taken))
        fileList->removeItemWidget(item);
    fileList->clearSelection();
    removeDuplicatePointers(taken);
    qDeleteAll(taken);
    updateButtons();
}

void VMass::addData(AddDataType_t type)
{
    if (fileList->count() == 0)
        return;
    if (!isKnownType(type)) {
        QProgressDialogger *progress = openProgress(fileList->count());
        progress->log(QLatin1String(VMassText::InvalidType), true);
        progress->setLabelText(QLatin1String(VMassText::Failed));
        progress->setButtonOkEnabled(true);
        return;
    }
    runOnFiles(type, false);
}

void VMass::removeData(AddDataType_t type)
{
    if (fileList->count() == 0)
        return;
    const QString question = removalQuestion(type);
    if (question.isEmpty()) {
        CPrompt::warning(this, windowTitle(), QLatin1String(VMassText::InvalidType));
        return;
    }
    if (CPrompt::warning(this, QLatin1String(VMassText::Title), question,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    runOnFiles(type, true);
}

QString VMass::removalQuestion(AddDataType_t type) const
{
    if (type == AddDataParameter) {
        const QString key = parameterBox->currentText();
        if (key.isEmpty())
            return QLatin1String(VMassText::RemoveAllParameters);
        if (!valueEdit->text().isEmpty())
            return QLatin1String(VMassText::RemoveParameter);
        return text(VMassText::RemoveParametersOfType, key);
    }
    if (type == AddDataProxy) {
        const QString name = proxyBox->currentText();
        return name.isEmpty() ? QLatin1String(VMassText::RemoveAllProxies)
                              : text(VMassText::RemoveProxiesOfType, name);
    }
    return QString();
}

void VMass::runOnFiles(AddDataType_t type, bool removal)
{
    const QStringList keys = columnTexts(keyTable, 0);
    const QStringList values = columnTexts(keyTable, 1);
    const int count = fileList->count();
    QProgressDialogger *progress = openProgress(count);
    for (int i = 0; i < count; ++i) {
        const VMassListWidgetItem *item = entry(i);
        QString script, error;
        MaterialLineEnds ends;
        if (!readMaterialFile(item->path, script, ends, error)) {
            logProblem(text(VMassText::ReadFailed, item->path), error);
        } else {
            const QString original = script;
            QString message;
            if (removal)
                applyRemoval(type, script);
            else
                message = applyEdit(type, item, script, keys, values);
            if (!message.isEmpty())
                logProblem(message, item->path);
            // Through a temporary file: a failed write leaves the script whole.
            // Lines left alone keep their own ends.
            const QByteArray bytes = encodeMaterialText(script, original, ends);
            if (!writeMaterialFile(item->path, bytes, error))
                logProblem(text(VMassText::WriteFailed, item->path), error);
        }
        progress->setValue(i + 1);
    }
    if (m_progress)
        m_progress->setLabelText(QLatin1String(VMassText::Complete));
}

QString VMass::applyEdit(AddDataType_t type, const VMassListWidgetItem *item, QString &script,
                         const QStringList &keys, const QStringList &values) const
{
    // An empty name would write an empty shader, key or proxy into every
    // file: such a file gets no edit.
    if (type == AddDataShader) {
        const QString shader = shaderBox->currentText();
        return shader.isEmpty() ? QString() : setVmtShader(script, shader);
    }
    if (type == AddDataProxy) {
        const QString name = proxyBox->currentText();
        return name.isEmpty() ? QString() : addVmtProxy(script, name, keys, &values);
    }
    const QString key = parameterBox->currentText();
    QString value = valueEdit->text();
    if (key.isEmpty())
        return QString();
    if (value.contains(QLatin1Char('*'))) {
        QString asterisk;
        if (asteriskBox->currentIndex() == 0) {
            // No path below "materials" to stand in for the asterisk.
            if (item->relativePath.isEmpty())
                return QString();
            asterisk = item->relativePath;
        } else {
            asterisk = vmtKeyValue(script, asteriskBox->currentText());
        }
        value.replace(QLatin1Char('*'), asterisk);
    }
    return setVmtKeyValue(script, key, value);
}

void VMass::applyRemoval(AddDataType_t type, QString &script) const
{
    if (type == AddDataParameter)
        removeVmtKeyValues(script, parameterBox->currentText(), valueEdit->text());
    else
        removeVmtProxies(script, proxyBox->currentText());
}
