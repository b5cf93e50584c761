#pragma once

#include <QGroupBox>
#include <cstdint>
#include <optional>
#include <vector>

#include "settings/FontFaceList.h"

class CLumoFont;
class QCheckBox;
class QComboBox;
class QLabel;

// One print size of the reader on the fonts page: the choice between the reader's built-in font
// and a TrueType face at a point size, a preview of the choice and the reader's current font.
// Only the user's own actions mark the group changed.
class CLXFontGroup : public QGroupBox {
    Q_OBJECT
public:
    struct Texts {
        QString title, useDefault, faceName, size, installed;
    };
    // objectPrefix names the controls ("large", "small"), followed by "Default", "Face", "Size",
    // "Preview" and "Installed".
    CLXFontGroup(const Texts& texts, const QString& objectPrefix, QWidget* parent = nullptr);

    // Fills the face box, item data the face's path; nothing is selected.
    void SetFaces(std::vector<FontFace> faces);
    const std::vector<FontFace>& Faces() const { return m_faces; }
    // The reader's current font: its text, its face and size selected, and the default box
    // ticked when it is the built-in font.
    void ShowInstalled(const CLumoFont& font);
    void DrawPreview();

    bool UsesDefault() const;
    bool IsChanged() const { return m_changed; }
    void ClearChanged() { m_changed = false; }
    // 0 when the size box holds no valid size.
    std::int16_t PointSize() const;
    std::optional<std::size_t> SelectedFace() const;
    void FocusSize();
    void FocusFace();

private:
    void UpdateEnabling();
    void OnUserChange();

    std::vector<FontFace> m_faces;
    bool m_changed = false;
    QCheckBox* m_default;
    QLabel* m_faceLabel;
    QComboBox* m_face;
    QLabel* m_sizeLabel;
    QComboBox* m_size;
    QLabel* m_preview;
    QLabel* m_installed;
};
