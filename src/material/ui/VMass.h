#pragma once

#include "QProgressDialogger.h"

#include <QPointer>
#include <QSet>
#include <QSplitter>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class VMassListWidgetItem;

// The edit the bulk material editor applies to every listed script.
enum AddDataType_t
{
    AddDataShader = 0,
    AddDataParameter = 1,
    AddDataProxy = 2
};

// The bulk material editor: a list of material scripts and one edit (set the
// shader, set or remove a parameter, add or remove a proxy) applied to each
// of them on disk. Each file is read, edited through the material text
// routines and saved through a temporary file; a file that fails is logged
// and the others are still edited.
class VMass : public QSplitter
{
    Q_OBJECT

public:
    explicit VMass(QWidget *parent = nullptr);
    ~VMass() override;

    VMassListWidgetItem *entry(int row) const;
    // The progress dialog of the last operation while it is open.
    QProgressDialogger *progressDialog() const { return m_progress; }

    QListWidget *fileList = nullptr;
    QPushButton *addButton = nullptr;
    QPushButton *removeButton = nullptr;
    QGroupBox *shaderGroup = nullptr;
    QComboBox *shaderBox = nullptr;
    QPushButton *evaluateButton = nullptr;
    QGroupBox *parameterGroup = nullptr;
    QComboBox *parameterBox = nullptr;
    QPushButton *addParameterButton = nullptr;
    QLineEdit *valueEdit = nullptr;
    QPushButton *removeParameterButton = nullptr;
    QComboBox *asteriskBox = nullptr;
    QGroupBox *proxyGroup = nullptr;
    QComboBox *proxyBox = nullptr;
    QPushButton *addProxyButton = nullptr;
    QPushButton *removeProxyButton = nullptr;
    QTableWidget *keyTable = nullptr;

protected slots:
    void addFiles();
    void removeFiles();
    void addData(AddDataType_t type);
    void removeData(AddDataType_t type);
    void evalShader();
    void addParameter();
    void removeParameter();
    void addProxy();
    void removeProxy();
    void updateProxyTable(int selectionIndex);

protected:
    void closeEvent(QCloseEvent *event) override;
    void updateButtons();

private:
    QWidget *buildFilePane();
    QWidget *buildEditPane();
    // Lists a script (for a texture, its script, made from a template when
    // missing) unless `listed` holds it already.
    void addPath(const QString &path, QSet<QString> &listed);
    QProgressDialogger *openProgress(int count);
    // A failure's own text as an error, and what explains it below it.
    void logProblem(const QString &message, const QString &detail);
    // The confirmation text of a removal, or empty for an unknown type.
    QString removalQuestion(AddDataType_t type) const;
    // Edits one script's text; a returned message is logged as an error.
    QString applyEdit(AddDataType_t type, const VMassListWidgetItem *item, QString &text,
                      const QStringList &keys, const QStringList &values) const;
    void applyRemoval(AddDataType_t type, QString &text) const;
    // Reads, edits and writes back every listed script.
    void runOnFiles(AddDataType_t type, bool removal);

    QPointer<QProgressDialogger> m_progress;
};
