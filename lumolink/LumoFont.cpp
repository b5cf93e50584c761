#include "lumolink/LumoFont.h"

CLumoFont::CLumoFont() : CLumoFont(nullptr, nullptr, 0) {}

CLumoFont::CLumoFont(const char* family, const char* face, short size)
    : m_family(family), m_face(face), m_size(size) {}

CLumoFont::CLumoFont(tPI_STRING& family, tPI_STRING& face, short size) {
    SetFamilyFaceSize(family, face, size);
}

CLumoFont::CLumoFont(const CLumoFont& other) { CopyClass(other); }

CLumoFont& CLumoFont::operator=(const CLumoFont& other) {
    if (this != &other) CopyClass(other);
    return *this;
}

void CLumoFont::CopyClass(const CLumoFont& other) {
    m_family = other.m_family;
    m_face = other.m_face;
    m_size = other.m_size;
    m_sysFontFlag = other.m_sysFontFlag;
}

void CLumoFont::SetFamily(const char* family) {
    if (family) m_family = family;
}

void CLumoFont::SetFace(const char* face) {
    if (face) m_face = face;
}

void CLumoFont::SetFamilyFaceSize(tPI_STRING& family, tPI_STRING& face, short size) {
    m_family = family;
    m_face = face;
    m_size = size;
}

CLumoFontFamily::~CLumoFontFamily() {
    delete m_regular;
    delete m_bold;
    delete m_italic;
    delete m_boldItalic;
}
