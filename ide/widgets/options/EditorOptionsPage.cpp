#include "widgets/options/EditorOptionsPage.h"

#include "model/settings/Options.h"
#include "model/text/SpecialLines.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/options/ColorButton.h"
#include "widgets/shared/PaletteColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace vexa::ide {

namespace {

// The option value of each colour entry, in list order.
TVexaColor* const kColorOptions[TEditorOptionsPage::kSpecialColorCount] = {
    &options::SelectedTextBG,
    &options::SelectedTextFG,
    &options::ErrorLineBG,
    &options::ErrorLineFG,
    &options::CurrentLineBG,
    &options::CurrentLineFG,
    &options::BreakpointLineBG,
    &options::BreakpointLineFG,
    &options::InvalidBreakpointLineBG,
    &options::InvalidBreakpointLineFG,
};

const char* const kColorEntries[TEditorOptionsPage::kSpecialColorCount] = {
    "Hintergrund markierter Text",
    "Markierter Text",
    "Hintergrund Fehlermarkierung",
    "Fehlermarkierung",
    "Hintergrund Ausführungsposition",
    "Ausführungsposition",
    "Hintergrund Haltepunkt",
    "Haltepunkt",
    "Hintergrund deaktivierter Haltepunkt",
    "Deaktivierter Haltepunkt",
};

const char* const kPreviewText =
    "Markierter Text\n"
    "Aktuelle Fehlermarkierung\n"
    "Aktuelle Ausführungsposition\n"
    "Haltepunkt\n"
    "Deaktivierter Haltepunkt";

constexpr int kStandardSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24};

// Line 1 shows the selected-text colours with a marker and an indicator of
// its own, beside the control's four line looks.
constexpr int kSelectedLineMarker = 22;
constexpr int kSelectedLineIndicator = 12;

// The selected-text defaults are the system's highlight colours.
constexpr TVexaColor kHighlight = TVexaColor::System(13);
constexpr TVexaColor kHighlightText = TVexaColor::System(14);

QCheckBox* CheckBox(QWidget* Parent, const char* Name, const char* Caption) {
  auto* box = new QCheckBox(QString::fromUtf8(Caption), Parent);
  box->setObjectName(QString::fromLatin1(Name));
  return box;
}

QComboBox* DropDown(QWidget* Parent, const char* Name) {
  auto* box = new QComboBox(Parent);
  box->setObjectName(QString::fromLatin1(Name));
  box->setEditable(false);
  return box;
}

}  // namespace

TEditorOptionsPage::TEditorOptionsPage(QWidget* Parent) : TCustomDialogPage(Parent) {
  setObjectName(QStringLiteral("EditorOptionsPage"));
  setWindowTitle(QStringLiteral("Editor"));
  SpecialColors.fill(TVexaColor());

  cbSearchTextAtCaret = CheckBox(this, "cbSearchTextAtCaret", "Te&xt am Cursor suchen");
  cbIndentLine = CheckBox(this, "cbIndentLine", "&Automatischer Zeileneinzug");
  cbInsertMode = CheckBox(this, "cbInsertMode", "E&infügemodus");
  cbSyntaxHighlighting = CheckBox(this, "cbSyntaxHighlighting", "S&yntaxhervorhebung verwenden");
  cbShowRightEdge = CheckBox(this, "cbShowRightEdge", "Rechter &Rand");
  cbShowGutter = CheckBox(this, "cbShowGutter", "&Leiste der Zeilensymbole anzeigen");
  cbDragDropEditing = CheckBox(this, "cbDragDropEditing", "Bearbeiten mit &Ziehen und Ablegen");

  cbFontFace = DropDown(this, "cbFontFace");
  cbFontFace->setMinimumContentsLength(18);
  cbFontSize = DropDown(this, "cbFontSize");
  cbFontSize->setMinimumContentsLength(3);
  cbSpecialColors = DropDown(this, "cbSpecialColors");
  for (const char* entry : kColorEntries) cbSpecialColors->addItem(QString::fromUtf8(entry));
  cbtnSpecialLineColor = new TColorButton(this);
  cbtnSpecialLineColor->setObjectName(QStringLiteral("cbtnSpecialLineColor"));
  cbSpecialColorDefault = CheckBox(this, "cbSpecialColorDefault", "Vorgabe");

  SynEditPreview = new TVexaEditControl(this);
  SynEditPreview->setObjectName(QStringLiteral("SynEditPreview"));
  SynEditPreview->setText(QString::fromUtf8(kPreviewText));
  SynEditPreview->setReadOnly(true);
  SynEditPreview->setFocusPolicy(Qt::NoFocus);
  SynEditPreview->setCaretWidth(0);
  SynEditPreview->setCaretLineVisible(false);
  SynEditPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SynEditPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SynEditPreview->setMinimumHeight(110);
  SynEditPreview->viewport()->installEventFilter(this);
  SynEditPreview->markerDefine(QsciScintilla::Background, kSelectedLineMarker);
  SynEditPreview->indicatorDefine(QsciScintilla::TextColorIndicator, kSelectedLineIndicator);
  SynEditPreview->OnGetLineMarker = [](int Line) {
    switch (Line) {
      case 2: return int(LineMarkerError);
      case 3: return int(LineMarkerExecution);
      case 4: return 1;
      case 5: return int(LineMarkerBreakpointUnknown);
      default: return 0;
    }
  };
  SynEditPreview->OnGetLineLook = [](int Line) {
    switch (Line) {
      case 2: return int(LineLookError);
      case 3: return int(LineLookExecution);
      case 4: return int(LineLookBreakpoint);
      case 5: return int(LineLookInvalidBreakpoint);
      default: return 0;
    }
  };

  // A face the user chooses is stored by its own name.
  connect(cbFontFace, &QComboBox::currentIndexChanged, this, [this] {
    servedFace_.clear();
    FaceChanged();
  });
  connect(cbFontSize, &QComboBox::currentIndexChanged, this, [this] { UpdatePreviewFont(); });
  connect(cbSpecialColors, &QComboBox::currentIndexChanged, this,
          [this] { SpecialColorSelected(); });
  connect(cbSpecialColorDefault, &QCheckBox::toggled, this, &TEditorOptionsPage::DefaultToggled);
  connect(cbtnSpecialLineColor, &TColorButton::ColorChosen, this, &TEditorOptionsPage::ColorChosen);
  connect(cbShowGutter, &QCheckBox::toggled, SynEditPreview, &TVexaEditControl::SetGutterVisible);

  // Switches on the left, font and colours on the right, the preview below.
  auto* switches = new QVBoxLayout;
  for (QCheckBox* box : {cbSearchTextAtCaret, cbIndentLine, cbInsertMode, cbSyntaxHighlighting,
                         cbShowRightEdge, cbShowGutter, cbDragDropEditing})
    switches->addWidget(box);
  switches->addStretch();

  auto* font = new QGridLayout;
  auto* faceLabel = new QLabel(QStringLiteral("Schriftart:"), this);
  faceLabel->setBuddy(cbFontFace);
  auto* sizeLabel = new QLabel(QString::fromUtf8("Schriftgrösse:"), this);
  sizeLabel->setBuddy(cbFontSize);
  font->addWidget(faceLabel, 0, 0);
  font->addWidget(sizeLabel, 0, 1);
  font->addWidget(cbFontFace, 1, 0);
  font->addWidget(cbFontSize, 1, 1);
  font->setColumnStretch(0, 1);

  auto* colorLabel = new QLabel(QStringLiteral("Darstellung:"), this);
  colorLabel->setBuddy(cbSpecialColors);
  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(cbSpecialColors, 1);
  colorRow->addWidget(cbtnSpecialLineColor);
  colorRow->addWidget(cbSpecialColorDefault);

  auto* right = new QVBoxLayout;
  right->addLayout(font);
  right->addSpacing(8);
  right->addWidget(colorLabel);
  right->addLayout(colorRow);
  right->addStretch();

  auto* top = new QHBoxLayout;
  top->addLayout(switches);
  top->addSpacing(12);
  top->addLayout(right, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(SynEditPreview, 1);
}

TEditorOptionsPage::~TEditorOptionsPage() = default;

QStringList TEditorOptionsPage::FixedPitchFaces() {
  QStringList faces;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family) || !QFontDatabase::isFixedPitch(family)) continue;
    faces << family;
  }
  faces.sort(Qt::CaseInsensitive);
  faces.removeDuplicates();
  return faces;
}

QList<int> TEditorOptionsPage::FaceSizes(const QString& Face) {
  if (Face.isEmpty() || !QFontDatabase::families().contains(Face)) return {};
  if (QFontDatabase::isSmoothlyScalable(Face))
    return {std::begin(kStandardSizes), std::end(kStandardSizes)};
  QList<int> sizes = QFontDatabase::pointSizes(Face);
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  sizes.removeIf([](int Size) { return Size <= 0; });
  return sizes;
}

void TEditorOptionsPage::Load() {
  cbIndentLine->setChecked(options::AutoIndent);
  cbInsertMode->setChecked(options::InsertMode);
  cbSearchTextAtCaret->setChecked(options::SearchTextAtCaret);
  cbDragDropEditing->setChecked(options::DragDropEditing);
  cbShowRightEdge->setChecked(options::ShowRightEdge);
  cbShowGutter->setChecked(options::ShowGutter);
  cbSyntaxHighlighting->setChecked(options::UseSyntaxHighlighting);
  SynEditPreview->SetGutterVisible(options::ShowGutter);
  for (int i = 0; i < kSpecialColorCount; ++i) SpecialColors[std::size_t(i)] = *kColorOptions[i];

  QFont font(options::EditorFontFace);
  font.setPointSize(options::EditorFontSize > 0 ? options::EditorFontSize : 10);
  font.setStyleHint(QFont::TypeWriter);
  previewFont_ = font;
  SynEditPreview->setFont(font);
  storedFace_ = options::EditorFontFace;
  servedFace_.clear();

  const QSignalBlocker faces(cbFontFace);
  cbFontFace->clear();
  cbFontFace->addItems(FixedPitchFaces());
  int face = cbFontFace->findText(storedFace_, Qt::MatchFixedString);
  if (face < 0) {
    // A face the system serves through another family (the default face
    // through its fixed-pitch stand-in) selects that family.
    const QString family = QFontInfo(font).family();
    const int served = cbFontFace->findText(family, Qt::MatchFixedString);
    if (served >= 0 && storedFace_.compare(family, Qt::CaseInsensitive) != 0 &&
        QFontDatabase::isFixedPitch(family)) {
      face = served;
      servedFace_ = cbFontFace->itemText(served);
    }
  }
  cbFontFace->setCurrentIndex(face);
  FaceChanged();
  {
    const QSignalBlocker sizes(cbFontSize);
    cbFontSize->setCurrentIndex(cbFontSize->findText(QString::number(options::EditorFontSize)));
  }
  UpdatePreviewFont();

  for (int line = 1; line <= kPreviewLines; ++line) UpdatePreviewLine(line);
  if (cbSpecialColors->currentIndex() == 0) {
    SpecialColorSelected();
  } else {
    cbSpecialColors->setCurrentIndex(0);
  }
}

void TEditorOptionsPage::FaceChanged() {
  const QString shown = cbFontSize->currentText();
  {
    const QSignalBlocker block(cbFontSize);
    cbFontSize->clear();
    for (int size : FaceSizes(cbFontFace->currentText()))
      cbFontSize->addItem(QString::number(size));
    cbFontSize->setCurrentIndex(cbFontSize->findText(shown));
  }
  UpdatePreviewFont();
}

void TEditorOptionsPage::UpdatePreviewFont() {
  QFont font = previewFont_;
  QString face = cbFontFace->currentText();
  if (!face.isEmpty()) {
    if (!servedFace_.isEmpty() && face == servedFace_) face = storedFace_;
    font.setFamily(face);
  }
  bool ok = false;
  const int size = cbFontSize->currentText().toInt(&ok);
  if (ok && size > 0) font.setPointSize(size);
  previewFont_ = font;
  SynEditPreview->setFont(font);
  SynEditPreview->RepaintLine(-1);
}

void TEditorOptionsPage::SpecialColorSelected() {
  const int index = cbSpecialColors->currentIndex();
  if (index < 0 || index >= kSpecialColorCount) return;
  const TVexaColor color = SpecialColors[std::size_t(index)];
  ++UpdateLock;
  cbSpecialColorDefault->setChecked(color.IsNone());
  cbtnSpecialLineColor->setEnabled(!cbSpecialColorDefault->isChecked());
  if (!color.IsNone()) cbtnSpecialLineColor->SetColor(color);
  --UpdateLock;
}

void TEditorOptionsPage::DefaultToggled(bool Checked) {
  if (UpdateLock > 0) return;
  const int index = cbSpecialColors->currentIndex();
  if (index < 0 || index >= kSpecialColorCount) return;
  cbtnSpecialLineColor->setEnabled(!Checked);
  TVexaColor& color = SpecialColors[std::size_t(index)];
  if (Checked) {
    color = index == 0 ? kHighlight : index == 1 ? kHighlightText : TVexaColor();
  } else {
    color = cbtnSpecialLineColor->Color();
  }
  UpdatePreviewLine(index / 2 + 1);
}

void TEditorOptionsPage::ColorChosen(TVexaColor Color) {
  if (UpdateLock > 0) return;
  const int index = cbSpecialColors->currentIndex();
  if (index < 0 || index >= kSpecialColorCount) return;
  ++UpdateLock;
  cbSpecialColorDefault->setChecked(false);
  cbtnSpecialLineColor->setEnabled(true);
  --UpdateLock;
  SpecialColors[std::size_t(index)] = Color;
  UpdatePreviewLine(index / 2 + 1);
}

void TEditorOptionsPage::UpdatePreviewLine(int Line) {
  if (Line < 1 || Line > kPreviewLines) return;
  const QPalette palette = SynEditPreview->palette();
  const TVexaColor background = SpecialColors[std::size_t((Line - 1) * 2)];
  const TVexaColor foreground = SpecialColors[std::size_t(Line * 2 - 1)];
  const QColor bg = ResolveColor(background, palette);
  const QColor fg = ResolveColor(foreground, palette);
  if (Line == 1) {
    const int l = Line - 1;
    if (bg.isValid()) {
      SynEditPreview->setMarkerBackgroundColor(bg, kSelectedLineMarker);
      if (!(SynEditPreview->markersAtLine(l) & (1u << kSelectedLineMarker)))
        SynEditPreview->markerAdd(l, kSelectedLineMarker);
    } else {
      SynEditPreview->markerDelete(l, kSelectedLineMarker);
    }
    const long start = SynEditPreview->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, l);
    const long end = SynEditPreview->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, l);
    SynEditPreview->SendScintilla(QsciScintilla::SCI_SETINDICATORCURRENT, kSelectedLineIndicator);
    if (fg.isValid()) {
      SynEditPreview->setIndicatorForegroundColor(fg, kSelectedLineIndicator);
      SynEditPreview->SendScintilla(QsciScintilla::SCI_INDICATORFILLRANGE, start, end - start);
    } else {
      SynEditPreview->SendScintilla(QsciScintilla::SCI_INDICATORCLEARRANGE, start, end - start);
    }
    SynEditPreview->viewport()->update();
    return;
  }
  // Lines 2..5 are the control's looks 1..4, in the same order.
  SynEditPreview->DefineLineLook(Line - 1, bg, fg);
}

void TEditorOptionsPage::PreviewLineClicked(int Line) {
  if (Line < 1 || Line > kPreviewLines) return;
  const int background = (Line - 1) * 2;
  cbSpecialColors->setCurrentIndex(cbSpecialColors->currentIndex() == background ? background + 1
                                                                                 : background);
}

bool TEditorOptionsPage::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == SynEditPreview->viewport()) {
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        // The preview has no caret and no selection: a click only chooses
        // the entry of its line.
        auto* mouse = static_cast<QMouseEvent*>(Event);
        if (mouse->button() == Qt::LeftButton) {
          const int line = SynEditPreview->lineAt(mouse->position().toPoint());
          if (line >= 0) PreviewLineClicked(line + 1);
        }
        return true;
      }
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove: return true;
      default: break;
    }
  }
  return TCustomDialogPage::eventFilter(Watched, Event);
}

void TEditorOptionsPage::Apply() {
  options::AutoIndent = cbIndentLine->isChecked();
  options::InsertMode = cbInsertMode->isChecked();
  options::SearchTextAtCaret = cbSearchTextAtCaret->isChecked();
  options::DragDropEditing = cbDragDropEditing->isChecked();
  options::ShowRightEdge = cbShowRightEdge->isChecked();
  options::ShowGutter = cbShowGutter->isChecked();
  options::UseSyntaxHighlighting = cbSyntaxHighlighting->isChecked();
  for (int i = 0; i < kSpecialColorCount; ++i) *kColorOptions[i] = SpecialColors[std::size_t(i)];
  options::EditorFontFace = previewFont_.family();
  options::EditorFontSize = previewFont_.pointSize();
}

}  // namespace vexa::ide
