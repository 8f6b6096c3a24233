#pragma once
// A document opened in the text model for the text tests: its text as
// opening gives it, and the bytes Save makes of a text.

#include <string>

#include "text/EncodingDetection.h"
#include "text/TDocumentText.h"

// Collects the decoded text (and how often it started over).
class TStringSink : public TTextSink {
public:
  std::string Text;
  int Clears = 0;
  void Append(const char* text, std::size_t size) override { Text.append(text, size); }
  void Clear() override
  {
    Text.clear();
    ++Clears;
  }
};

inline std::string Detect(const std::string& bytes, TMarkup markup = TMarkup::Other)
{
  return DetectEncoding(bytes.data(), bytes.size(), markup).Encoding;
}

struct TOpened {
  TDocumentText Model;
  TStringSink Sink;
  std::string Warning;
};

inline void Open(TOpened& doc, const std::string& bytes, TMarkup markup = TMarkup::Other)
{
  doc.Model.SetMarkup(markup);
  doc.Warning = doc.Model.Load(bytes, doc.Sink);
}

inline std::string Saved(const TOpened& doc, const std::string& text)
{
  return doc.Model.Bytes(text.data(), text.size());
}

// An XML declaration naming the encoding, followed by bytes.
inline std::string Declared(const std::string& encoding, const std::string& bytes = std::string())
{
  return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>" + bytes;
}
