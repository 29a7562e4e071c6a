#pragma once

#include "CConfig.h"
#include "CFilePCF.h"
#include "PromptScript.h"
#include "QListDialog.h"
#include "VParticle.h"
#include "VParticleAddAttributeDialog.h"
#include "VParticleTreeRows.h"
#include "VParticleTreeWidgetItem.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

#include <functional>

// Answers the editor's questions in order, and keeps what was asked.
class EditorScript : public PromptQueue<EditorScript>
{
public:
    // Fills in and accepts the add-attribute dialog.
    EditorScript &attribute(const QString &name, const QString &type)
    {
        return accept([name, type](QDialog *dialog) {
            auto *add = qobject_cast<VParticleAddAttributeDialog *>(dialog);
            add->nameEdit->setText(name);
            add->typeCombo->setCurrentText(type);
        });
    }

    static QStringList listTexts(QDialog *dialog)
    {
        QStringList out;
        if (auto *list = qobject_cast<QListDialog *>(dialog)) {
            for (int i = 0; i < list->list->count(); ++i)
                out << list->list->item(i)->text();
        }
        return out;
    }

    // Also keeps what the dialog of a scripted question showed.
    CPrompt::Answer answerRequest(const CPrompt::Request &request)
    {
        const bool scripted = !steps.isEmpty();
        const CPrompt::Answer reply = PromptQueue::answerRequest(request);
        if (!scripted)
            return reply;
        if (qobject_cast<QListDialog *>(request.dialog))
            offered << listTexts(request.dialog);
        if (auto *box = qobject_cast<QMessageBox *>(request.dialog))
            messages << box->text() + QLatin1Char('|') + box->informativeText();
        return reply;
    }

    // The items of each list dialog shown.
    QList<QStringList> offered;
    // Text and informative text of each message box run through exec.
    QStringList messages;
};

// Puts template documents into the configuration for one test.
class TemplateScope
{
public:
    explicit TemplateScope(const QList<CFilePCF *> &documents)
        : m_mine(documents)
    {
        QList<CFilePCF *> &templates = CConfig::instance()->particleTemplates;
        m_saved = templates;
        templates = QList<CFilePCF *>{nullptr} + documents;
    }
    ~TemplateScope()
    {
        CConfig::instance()->particleTemplates = m_saved;
        qDeleteAll(m_mine);
    }
    TemplateScope(const TemplateScope &) = delete;
    TemplateScope &operator=(const TemplateScope &) = delete;

private:
    QList<CFilePCF *> m_saved;
    QList<CFilePCF *> m_mine;
};

// Stands in for the main window: keeps what the editor hands on.
class FakeMainWindow : public QWidget
{
    Q_OBJECT

public:
    ~FakeMainWindow() override { qDeleteAll(documents); }

    QStringList paths;
    QList<CFilePCF *> documents;

public slots:
    void showVParticle(const QString &path) { paths << path; }
    void showVParticle(CFilePCF *document) { documents << document; }
};

// Rows by the Name texts on their way down from the top level.
inline QList<VParticleTreeWidgetItem *> rowsAt(QTreeWidget *tree, const QStringList &path)
{
    QList<QTreeWidgetItem *> level;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        level << tree->topLevelItem(i);
    QList<VParticleTreeWidgetItem *> found;
    for (int depth = 0; depth < path.size(); ++depth) {
        QList<QTreeWidgetItem *> next;
        found.clear();
        for (QTreeWidgetItem *item : qAsConst(level)) {
            if (item->text(0) != path[depth])
                continue;
            found << static_cast<VParticleTreeWidgetItem *>(item);
            for (int i = 0; i < item->childCount(); ++i)
                next << item->child(i);
        }
        level = next;
    }
    return found;
}

inline VParticleTreeWidgetItem *rowAt(QTreeWidget *tree, const QStringList &path)
{
    return rowsAt(tree, path).value(0);
}

inline QStringList childNames(const QTreeWidgetItem *row)
{
    QStringList out;
    for (int i = 0; row && i < row->childCount(); ++i)
        out << row->child(i)->text(0);
    return out;
}
