#pragma once

class CLXXMLParser {
public:
    // Fills buffer with the text of the element at path ("package/metadata/dc-metadata/Title":
    // element names from the root down, matched by local name without regard to case or
    // namespace prefix), cut to bufferSize - 1 bytes and terminated. Returns 0 when found.
    int m_fnLXGetXMLPath(const char* xmlFile, const char* path, char* buffer, int bufferSize);
};
