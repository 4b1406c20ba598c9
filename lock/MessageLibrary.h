#pragma once

#include <QString>

#include <cstdint>

// The message library of the operator's language: Dll/<LanguageID>/libLockMsg.so
// beside the program, loaded for each text and released afterwards. When the
// library or one of its functions is missing, the built-in Chinese texts stand in.
namespace MessageLibrary {

// Numbered texts: 0 the title pattern of encoder messages, 1 the title and 2
// the text pattern of the stay-closing confirmation.
QString unitText(int index);
// The text for an encoder result code.
QString resultText(int16_t code);

// The library file for a language.
QString libraryPath(int languageId);

// A text crossing in a 256-byte buffer: byte 0 the length L, bytes 1..L UTF-8.
// Reads exactly L bytes, drops a character cut off at the end and replaces
// invalid bytes.
QString decodeBuffer(const unsigned char *buffer256);

} // namespace MessageLibrary

// A pattern with the value in place of its first "%s"; nothing else in the
// pattern has a meaning ("%d", "%n" and a second "%s" stay as they are).
QString fillPattern(const QString &pattern, const QString &value);
