#include "VVTF.h"

#include "CFileVTF.h"
#include "CPath.h"
#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "QProgressDialogger.h"
#include "QWidgetDialog.h"
#include "VVTFImporter.h"
#include "VVTFNewImageWidget.h"
#include "VVTFResizeParametersBox.h"
#include "VVTFTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>

// Building a texture from an image file.

namespace {
VVTFImportSettings settingsOf(const VVTFNewImageWidget &widget)
{
    VVTFImportSettings settings;
    settings.format = widget.format();
    settings.layout = widget.layout();
    settings.filter = widget.resizeBox->filter();
    settings.widthMode = widget.resizeBox->widthModeBox->currentIndex();
    settings.widthClamp = widget.resizeBox->widthClampBox->currentIndex();
    settings.heightMode = widget.resizeBox->heightModeBox->currentIndex();
    settings.heightClamp = widget.resizeBox->heightClampBox->currentIndex();
    settings.computeReflectivity = widget.reflectivityCheck->isChecked();
    settings.generateMipmaps = widget.mipmapsCheck->isChecked();
    settings.generateSpheremaps = widget.spheremapsCheck->isChecked();
    return settings;
}
} // namespace

void VVTF::vtfImport()
{
    const QString title = QLatin1String(VVTFText::Title);
    const QString path = MainWindowDialogs::openFileName(this, QLatin1String(VVTFText::NewCaption),
                                                         QLatin1String(VVTFText::ImageFilter));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CPrompt::information(this, title,
                             QString::fromLatin1(VVTFText::ImportUnreadable).arg(path));
        return;
    }
    // The format is told by the contents, not by the name.
    QImageReader reader(&file);

    auto *widget = new VVTFNewImageWidget;
    widget->setImageCount(quint16(qBound(0, reader.imageCount(), 0xFFFF)));
    QWidgetDialog dialog(widget, this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    dialog.setWindowTitle(path);
    if (CPrompt::exec(&dialog) != QDialog::Accepted)
        return;

    // A busy box: the steps run here, with the window repainting between
    // them but taking no input (so it cannot be closed under the import).
    QProgressDialogger progress(QLatin1String(VVTFText::StepAllocating), 0, 0, QString(), this);
    progress.setButtonCancelVisible(false);
    progress.setButtonToggleLogVisible(false);
    progress.buttonOk->hide();
    progress.show();
    VVTFImporter importer;
    importer.onStep = [&progress](const char *step) {
        progress.setLabelText(QLatin1String(step));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    CFileVTF *document = importer.import(reader, settingsOf(*widget));
    progress.hide();
    if (!document) {
        CPrompt::information(this, title, importer.error);
        return;
    }
    document->setDisplayName(CPath(path, true).fileName(false));
    if (importer.dropped > 0)
        CPrompt::warning(this, title,
                         QString::fromLatin1(VVTFText::ImportDropped)
                             .arg(importer.dropped)
                             .arg(importer.imageCount));
    adopt(document);
}
