#include "VVTF.h"

#include "CFileVTF.h"
#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "QWidgetDialog.h"
#include "VVTFResizeParametersBox.h"
#include "VVTFTexts.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

// Giving the window its document: opening a file, a new texture, and filling
// the window from the document it took.

namespace {
// "512".
constexpr int DefaultSizeItem = 9;
constexpr int ResourcesTab = 4;
} // namespace

void VVTF::vtfOpen()
{
    vtfOpen(MainWindowDialogs::openFileName(this, QLatin1String(VVTFText::OpenCaption),
                                            QLatin1String(VVTFText::TextureFilter)));
}

bool VVTF::vtfOpen(const QString &path)
{
    if (path.isEmpty())
        return true;
    QString error;
    CFileVTF *document = CFileVTF::fromFile(path, error);
    if (!document) {
        CPrompt::information(this, QLatin1String(VVTFText::Title), error);
        return false;
    }
    adopt(document);
    return true;
}

void VVTF::vtfNew()
{
    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    QComboBox *width = VVTFResizeParametersBox::sizeBox("newWidth", DefaultSizeItem);
    QComboBox *height = VVTFResizeParametersBox::sizeBox("newHeight", DefaultSizeItem);
    grid->addWidget(new QLabel(tr("Width:")), 0, 0);
    grid->addWidget(width, 0, 1);
    grid->addWidget(new QLabel(tr("Height:")), 1, 0);
    grid->addWidget(height, 1, 1);

    QWidgetDialog dialog(content, this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    dialog.setWindowTitle(QLatin1String(VVTFText::NewCaption));
    if (CPrompt::exec(&dialog) != QDialog::Accepted)
        return;
    adopt(new CFileVTF(quint16(1 << width->currentIndex()), quint16(1 << height->currentIndex())));
}

void VVTF::adopt(CFileVTF *document)
{
    if (!m_document) {
        m_document = document;
        vtfOpenShared();
        return;
    }
    if (MainWindowTools::open("showVVTF", Q_ARG(CFileVTF *, document)))
        return;
    // Without a main window the further editor stands on its own.
    auto *window = new VVTF(document);
    window->show();
}

void VVTF::showFaceCountTicks(int faces)
{
    actionFacesOne->setIcon(onOffIcon(faces == 1));
    actionFacesSix->setIcon(onOffIcon(faces == 6));
    actionFacesSeven->setIcon(onOffIcon(faces == 7));
}

QString VVTF::textureName() const
{
    const QString name = m_document->fileNameWithoutLastExtension();
    return name.isEmpty() ? m_document->displayName() : name;
}

void VVTF::vtfOpenShared()
{
    if (!m_document)
        return;
    setWindowTitle(textureName() + QStringLiteral("[*]"));

    for (QAction *action :
         {actionSave, actionSaveAs, actionSaveCopyAs, actionExport, actionCopy,
          actionComputeReflectivity, actionCorrectGamma, actionMipmapCount, actionFrameCount,
          actionChannelRGB, actionChannelRed, actionChannelGreen, actionChannelBlue,
          actionChannelAlpha, actionMask, actionTile})
        action->setEnabled(true);
    vtfClipboardDataChanged();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &VVTF::vtfClipboardDataChanged, Qt::UniqueConnection);
    const VVTFRules::Commands commands = VVTFRules::commands(*m_document);
    actionGenerateMipmaps->setEnabled(commands.generateMipmaps);
    actionGenerateSpheremaps->setEnabled(commands.generateSpheremaps);
    showFaceCountTicks(commands.faceCountTick);
    menuFaceCount->setEnabled(commands.faceCountMenu);
    actionSliceCount->setEnabled(commands.sliceCount);

    // The sliders' values win over the document's, and the first picture is
    // decoded with the values the sliders show.
    m_document->setHdrKey(float(keySlider->value()) / 100.0f);
    m_document->setHdrShift(float(shiftSlider->value()) / 100.0f);
    m_document->setHdrGamma(float(gammaSlider->value()) / 100.0f);

    if (vtfSelectImage(m_document->mipmapCount() - 1, 0, 0, 0))
        vtfRefreshView();
    vtfRebuildImageTree();

    const bool hdr = VVTFRules::hdrControlsEnabled(m_document);
    keySlider->setEnabled(hdr);
    shiftSlider->setEnabled(hdr);
    gammaSlider->setEnabled(hdr);
    animationButton->setEnabled(commands.animation);
    if (!commands.animation)
        animationButton->setChecked(false);

    vtfUpdateFlagColours();
    vtfUpdateImageFields();
    tabs->setTabEnabled(ResourcesTab, commands.resources);
    showResources();

    setWindowModified(false);
    tabs->setEnabled(true);
}
