#pragma once
// The picture of the plane leaving the window: exported to a PNG, SVG or PDF file, or copied to
// the clipboard. Both draw through the renderer of curvist-plot, from the plane, style and size
// the window shows.

#include <QString>
#include <functional>
#include <memory>

class CCurvistDoc;
class CCurvistView;
class IFileCommands;
class QFileDialog;
class QWidget;

// The export dialog, set up but not shown, proposing strSelect.
std::unique_ptr<QFileDialog> CreateExportDialog(QWidget* pParent, const QString& strSelect);
// The file the export dialog's chosen name stands for: a name without an extension takes the
// selected type's, and replacing a file that the suffix made is asked. Empty when declined.
QString ConfirmExportPath(QWidget* pParent, const QFileDialog& dlg, const QString& chosen);

class CPictureCommands {
  public:
    // The document and view are drawn, files names the proposed file; pParent owns the
    // dialogs and messages.
    CPictureCommands(CCurvistDoc& doc, const CCurvistView& view, const IFileCommands& files,
                     QWidget* pParent);

    // Asks for a file name and type and writes the picture; false when cancelled or failed.
    bool OnFileExport();
    // Writes the picture in the format the name's extension names, replacing the file safely;
    // shows the message of a failure.
    bool ExportTo(const QString& path);
    // Puts the picture on the clipboard as an image and as SVG.
    void OnEditCopy();

  private:
    CCurvistDoc& m_doc;
    const CCurvistView& m_view;
    const IFileCommands& m_files;
    QWidget* m_pParent;
};
