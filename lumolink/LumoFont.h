#pragma once

// How the library describes the reader's fonts: one font record, and a family of four styles.

#include "lumolink/LumoLinkExport.h"
#include "lumolink/PiString.h"

enum FamilySize : int {
    FAMILY_SIZE_LARGE = 0,
    FAMILY_SIZE_SMALL = 1,  // every value other than 0 selects the small family
};

class LUMOLINK_API CLumoFont {
public:
    CLumoFont();
    CLumoFont(const char* family, const char* face, short size);
    CLumoFont(tPI_STRING& family, tPI_STRING& face, short size);
    CLumoFont(const CLumoFont& other);
    CLumoFont& operator=(const CLumoFont& other);

    const char* GetFamily() const { return m_family.c_str(); }
    const char* GetFace() const { return m_face.c_str(); }
    short GetSize() const { return m_size; }
    char GetSysFontFlag() const { return m_sysFontFlag; }

    void SetFamily(const char* family);
    void SetFace(const char* face);
    void SetSize(short size) { m_size = size; }
    void SetSysFontFlag(char flag) { m_sysFontFlag = flag; }
    void SetFamilyFaceSize(tPI_STRING& family, tPI_STRING& face, short size);

private:
    void CopyClass(const CLumoFont& other);

    tPI_STRING m_family;
    tPI_STRING m_face;
    short m_size = 0;
    char m_sysFontFlag = '?';
};

// Owns the fonts handed to it and deletes them when it is destroyed.
class LUMOLINK_API CLumoFontFamily {
public:
    CLumoFontFamily() = default;
    CLumoFontFamily(const CLumoFontFamily&) = delete;
    CLumoFontFamily& operator=(const CLumoFontFamily&) = delete;
    ~CLumoFontFamily();

    // Each setter stores the pointer; a font stored before is not deleted.
    void SetRegular(CLumoFont* font) { m_regular = font; }
    void SetBold(CLumoFont* font) { m_bold = font; }
    void SetItalic(CLumoFont* font) { m_italic = font; }
    void SetBoldItalic(CLumoFont* font) { m_boldItalic = font; }
    CLumoFont* GetRegular() const { return m_regular; }
    CLumoFont* GetBold() const { return m_bold; }
    CLumoFont* GetItalic() const { return m_italic; }
    CLumoFont* GetBoldItalic() const { return m_boldItalic; }
    void SetFamilySize(FamilySize size) { m_familySize = size; }
    FamilySize GetFamilySize() const { return m_familySize; }

private:
    CLumoFont* m_regular = nullptr;
    CLumoFont* m_bold = nullptr;
    CLumoFont* m_italic = nullptr;
    CLumoFont* m_boldItalic = nullptr;
    FamilySize m_familySize = static_cast<FamilySize>(2);
};
