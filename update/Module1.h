#pragma once

#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <optional>

// The program's only network access: read one small text file from a web server.
namespace pexa::Module1 {

// A fetch that has no complete answer by then is abandoned, so a server that accepts the
// connection and never answers cannot keep the caller waiting for the rest of the session.
inline constexpr std::chrono::milliseconds fetchGiveUpTime = std::chrono::seconds(15);

// The version file is a few bytes; anything larger is not it, and is not read into memory.
inline constexpr qsizetype maxBodyBytes = 64 * 1024;

// Gets `address` with one HTTP GET and gives the whole body decoded from GB2312, every line break
// kept. The transfer runs on a thread of its own while this call runs a nested event loop, so the
// window keeps handling clicks, repaints and its close request, whatever the server does. Gives
// nothing when the request fails, the status is not a success (2xx), the body is larger than
// maxBodyBytes or is not clean GB2312, no answer came within `giveUpAfter`, or the program is
// ending (QCoreApplication::exit) during the wait.
// FetchText("http://update.pexa.example/mireva/zazure.txt") gives "9.3\r\n..." or nothing.
std::optional<QString> FetchText(const QString& address,
                                 std::chrono::milliseconds giveUpAfter = fetchGiveUpTime);

// Decodes `bytes` in the character set named `charset` ("gb2312", "utf-8", ...), through Qt's
// ICU-backed decoders. Gives nothing when the character set is unknown or the bytes are not valid
// in it, a sequence cut short at the end included.
// DecodeBody("\xD6\xD0\xCE\xC4", "gb2312") gives "中文"; DecodeBody("\xFF\xFE", "gb2312") nothing.
std::optional<QString> DecodeBody(QByteArrayView bytes, const QString& charset);

} // namespace pexa::Module1
