#include "settings/LXFontGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "library/FileUtil.h"
#include "lumolink/LumoFont.h"
#include "settings/FacePreviewFont.h"
#include "settings/PointSizeText.h"
#include "ui/TextConversion.h"

namespace {

constexpr int kListedSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28};
constexpr char kBuiltInFontFlag = 'S';

}  // namespace

CLXFontGroup::CLXFontGroup(const Texts& texts, const QString& objectPrefix, QWidget* parent)
    : QGroupBox(texts.title, parent),
      m_default(new QCheckBox(texts.useDefault, this)),
      m_faceLabel(new QLabel(texts.faceName, this)),
      m_face(new QComboBox(this)),
      m_sizeLabel(new QLabel(texts.size, this)),
      m_size(new QComboBox(this)),
      m_preview(new QLabel(this)),
      m_installed(new QLabel(this)) {
    m_default->setObjectName(objectPrefix + QStringLiteral("Default"));
    m_face->setObjectName(objectPrefix + QStringLiteral("Face"));
    m_size->setObjectName(objectPrefix + QStringLiteral("Size"));
    m_preview->setObjectName(objectPrefix + QStringLiteral("Preview"));
    m_installed->setObjectName(objectPrefix + QStringLiteral("Installed"));

    m_faceLabel->setBuddy(m_face);
    m_sizeLabel->setBuddy(m_size);
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    for (int size : kListedSizes) m_size->addItem(QString::number(size));
    m_size->setCurrentIndex(-1);
    m_preview->setMinimumHeight(60);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto* form = new QFormLayout;
    form->addRow(m_faceLabel, m_face);
    form->addRow(m_sizeLabel, m_size);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_default);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Preview:"), this));
    layout->addWidget(m_preview);
    layout->addWidget(new QLabel(texts.installed, this));
    layout->addWidget(m_installed);

    connect(m_default, &QCheckBox::clicked, this, [this] {
        UpdateEnabling();
        m_changed = true;
    });
    connect(m_face, &QComboBox::activated, this, &CLXFontGroup::OnUserChange);
    connect(m_size, &QComboBox::activated, this, &CLXFontGroup::OnUserChange);
    connect(m_size->lineEdit(), &QLineEdit::textEdited, this, &CLXFontGroup::OnUserChange);
}

void CLXFontGroup::OnUserChange() {
    DrawPreview();
    m_changed = true;
}

void CLXFontGroup::SetFaces(std::vector<FontFace> faces) {
    m_faces = std::move(faces);
    m_face->clear();
    for (const FontFace& face : m_faces) {
        m_face->addItem(toQString(face.name), QByteArray::fromStdString(face.path));
    }
    m_face->setCurrentIndex(-1);
}

void CLXFontGroup::ShowInstalled(const CLumoFont& font) {
    m_installed->setText(toQString(font.GetFace()) + QLatin1Char(' ') +
                         QString::number(font.GetSize()));

    int face = m_faces.empty() ? -1 : 0;
    for (std::size_t i = 0; i < m_faces.size(); ++i) {
        if (lumo::EqualsNoCase(m_faces[i].name, font.GetFace())) {
            face = static_cast<int>(i);
            break;
        }
    }
    m_face->setCurrentIndex(face);

    const QString size = QString::number(font.GetSize());
    const int listed = m_size->findText(size, Qt::MatchExactly);
    m_size->setCurrentIndex(listed);
    if (listed < 0) m_size->setEditText(size);

    m_default->setChecked(font.GetSysFontFlag() == kBuiltInFontFlag);
    UpdateEnabling();
}

void CLXFontGroup::DrawPreview() {
    const std::int16_t size = PointSize();
    const auto face = SelectedFace();
    if (size == 0 || !face) return;
    m_preview->setFont(FacePreviewFont(m_faces[*face], size));
    m_preview->setText(QStringLiteral("Lumo eBook"));
}

bool CLXFontGroup::UsesDefault() const { return m_default->isChecked(); }

std::int16_t CLXFontGroup::PointSize() const {
    return ReadPointSize(toBytes(m_size->currentText()));
}

std::optional<std::size_t> CLXFontGroup::SelectedFace() const {
    const int index = m_face->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= m_faces.size()) return std::nullopt;
    return static_cast<std::size_t>(index);
}

void CLXFontGroup::FocusSize() { m_size->setFocus(); }

void CLXFontGroup::FocusFace() { m_face->setFocus(); }

void CLXFontGroup::UpdateEnabling() {
    const bool ownFont = !m_default->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(m_faceLabel), static_cast<QWidget*>(m_face),
                             static_cast<QWidget*>(m_sizeLabel), static_cast<QWidget*>(m_size)}) {
        control->setEnabled(ownFont);
    }
}
