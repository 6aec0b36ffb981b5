#pragma once

// The "Editor" page of the environment options: the editor switches, the
// font (fixed-pitch faces only) and the colours of the five kinds of marked
// lines, with a read-only preview showing one sample line per kind.

#include "model/settings/VexaColor.h"
#include "widgets/options/CustomDialogPage.h"

#include <QFont>

#include <array>

class QCheckBox;
class QComboBox;

namespace vexa::ide {

class TColorButton;
class TVexaEditControl;

class TEditorOptionsPage : public TCustomDialogPage {
  Q_OBJECT

 public:
  static constexpr int kSpecialColorCount = 10;
  static constexpr int kPreviewLines = 5;

  explicit TEditorOptionsPage(QWidget* Parent = nullptr);
  ~TEditorOptionsPage() override;

  void Apply() override;
  void Load() override;

  // The fixed-pitch families of the font database, sorted, without duplicates.
  static QStringList FixedPitchFaces();
  // The sizes offered for a face: the eleven standard sizes for a scalable
  // face, its own sizes for a bitmap face, none for an unknown one.
  static QList<int> FaceSizes(const QString& Face);

  // The colour entry's value (0..9, background and text colour by turn).
  TVexaColor SpecialColor(int Index) const { return SpecialColors[std::size_t(Index)]; }
  // The font the preview shows; Apply stores its face and size.
  const QFont& PreviewFont() const { return previewFont_; }
  // What a left click on preview line 1..5 does.
  void PreviewLineClicked(int Line);

  QCheckBox* cbSearchTextAtCaret = nullptr;
  QCheckBox* cbIndentLine = nullptr;
  QCheckBox* cbInsertMode = nullptr;
  QCheckBox* cbSyntaxHighlighting = nullptr;
  QCheckBox* cbShowRightEdge = nullptr;
  QCheckBox* cbShowGutter = nullptr;
  QCheckBox* cbDragDropEditing = nullptr;
  QComboBox* cbFontFace = nullptr;
  QComboBox* cbFontSize = nullptr;
  QComboBox* cbSpecialColors = nullptr;
  TColorButton* cbtnSpecialLineColor = nullptr;
  QCheckBox* cbSpecialColorDefault = nullptr;
  TVexaEditControl* SynEditPreview = nullptr;

  std::array<TVexaColor, kSpecialColorCount> SpecialColors{};
  int UpdateLock = 0;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void FaceChanged();
  void UpdatePreviewFont();
  void SpecialColorSelected();
  void DefaultToggled(bool Checked);
  void ColorChosen(TVexaColor Color);
  void UpdatePreviewLine(int Line);

  // The stored face and the listed family it resolves to (the default face
  // may be served by another fixed-pitch family): while that family is
  // chosen, the preview keeps the stored name.
  QString storedFace_;
  QString servedFace_;
  QFont previewFont_;
};

}  // namespace vexa::ide
