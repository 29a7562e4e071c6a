#pragma once

#include <QMainWindow>
#include <QVector>

class CFileMDL;
class CFilePHY;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// "Model Data Editor": the header fields of a studio model, one row each,
// with a second pane for its collision model. Editable rows store what is
// typed into the model when it parses as the row's kind; anything else puts
// the stored value back. The window owns neither model.
class VMDL : public QMainWindow
{
    Q_OBJECT

public:
    explicit VMDL(QWidget *parent = nullptr);

    // Attaches the models (null detaches), shows their values and enables the
    // trees; without a model the trees stay disabled and take no edits.
    void setModel(CFileMDL *model, CFilePHY *collisionModel = nullptr);
    CFileMDL *model() const { return m_model; }
    CFilePHY *collisionModel() const { return m_collisionModel; }

protected slots:
    void mdlFieldModified(QTreeWidgetItem *item, int column);
    void mdlFieldChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void phyFieldModified(QTreeWidgetItem *item, int column);
    void phyFieldChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);

private:
    // Stores the row's text into the model when it parses.
    void storeField(QTreeWidgetItem *row);
    // The stored value into the row's value column.
    void showField(QTreeWidgetItem *row);

    CFileMDL *m_model = nullptr;
    CFilePHY *m_collisionModel = nullptr;
    QTreeWidgetItem *m_currentModelRow = nullptr;
    QTreeWidgetItem *m_currentCollisionRow = nullptr;
    QSplitter *m_splitter = nullptr;
    QTreeWidget *m_modelTree = nullptr;
    // One per header field in file order; vectors have a row per component
    // below their own.
    QVector<QTreeWidgetItem *> m_rows;
    QTreeWidget *m_collisionTree = nullptr;
};
