#include "VPakfileStatusDialog.h"

#include "PakfileStatistics.h"
#include "functions.h"
#include "uifunctions.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *countLabel(int value, QWidget *parent)
{
    return new QLabel(formatGroupedNumber(quint64(qMax(0, value))), parent);
}

QFormLayout *statisticsForm()
{
    auto *form = new QFormLayout;
    form->setVerticalSpacing(1);
    form->setHorizontalSpacing(10);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return form;
}

} // namespace

VPakfileStatusDialog::VPakfileStatusDialog(const VPakfileStatus &status, QWidget *parent)
    : QDialog(parent)
{
    auto *information = new QGroupBox(tr("Information"), this);
    auto *informationLayout = new QVBoxLayout(information);
    informationLayout->addWidget(
        new QLabel(QStringLiteral("Version: %1   Offset: %2   Length: %3")
                       .arg(status.lumpVersion)
                       .arg(formatGroupedNumber(quint32(status.lumpOffset)))
                       .arg(formatGroupedNumber(quint32(status.lumpLength))),
                   information));
    information->setFixedHeight(information->sizeHint().height());

    auto *commentBox = new QGroupBox(tr("Comment"), this);
    auto *commentLayout = new QVBoxLayout(commentBox);
    m_shownComment = commentText(status.comment);
    m_comment = new QPlainTextEdit(m_shownComment, commentBox);
    m_comment->setObjectName(QStringLiteral("comment"));
    m_comment->setTabStopDistance(32);
    m_comment->setLineWrapMode(QPlainTextEdit::NoWrap);
    commentLayout->addWidget(m_comment);

    auto *statistics = new QGroupBox(tr("Statistics"), this);
    auto *statisticsLayout = new QHBoxLayout(statistics);
    statisticsLayout->setSpacing(20);
    QFormLayout *left = statisticsForm();
    QFormLayout *right = statisticsForm();
    const QStringList &labels = PakfileStatistics::labels();
    for (int i = 0; i < labels.size(); ++i) {
        QFormLayout *form = i < PakfileStatistics::FirstColumnRows ? left : right;
        form->addRow(labels[i], countLabel(status.counts.value(i), statistics));
    }
    right->addRow(tr("Total:"), countLabel(status.total, statistics));
    statisticsLayout->addLayout(left);
    statisticsLayout->addLayout(right);

    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *leftColumn = new QVBoxLayout;
    leftColumn->addWidget(information);
    leftColumn->addWidget(statistics);
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(commentBox);
    rightColumn->addWidget(close);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(leftColumn);
    layout->addLayout(rightColumn);

    setWindowTitle(tr("Pakfile Status"));
    adjustSize();
    setFixedSize(size());
    centerWidget(this, parent);
}

QString VPakfileStatusDialog::commentText(const QByteArray &comment)
{
    const int nul = comment.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? comment : comment.left(nul)).trimmed();
}

QByteArray VPakfileStatusDialog::comment() const
{
    return m_comment->toPlainText().trimmed().toLatin1();
}

bool VPakfileStatusDialog::commentEdited() const
{
    return m_comment->toPlainText() != m_shownComment;
}
