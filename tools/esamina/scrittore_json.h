// The JSON writer of the tools: the document of --json and the data the
// page of --html carries are written by the same hands, so both spell
// numbers and texts alike.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A writer that puts the commas where they belong; texts must be UTF-8.
class scrittore_json {
 public:
  void oggetto() { apri('{'); }
  void fine_oggetto() { chiudi('}'); }
  void lista() { apri('['); }
  void fine_lista() { chiudi(']'); }
  void chiave(std::string_view k) {
    separa();
    stringa(k);
    s_ += ':';
    dopo_chiave_ = true;
  }
  void numero(int64_t v) {
    separa();
    s_ += std::to_string(v);
  }
  void numero(double v) {
    separa();
    if (!std::isfinite(v)) {
      s_ += "null";
      return;
    }
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, v);
    s_.append(b, r.ptr);
  }
  void testo(std::string_view v) {
    separa();
    stringa(v);
  }
  void logico(bool v) {
    separa();
    s_ += v ? "true" : "false";
  }
  void nullo() {
    separa();
    s_ += "null";
  }

  // Shorthands for a key with its value.
  void campo(std::string_view k, int64_t v) {
    chiave(k);
    numero(v);
  }
  void campo(std::string_view k, std::string_view v) {
    chiave(k);
    testo(v);
  }

  std::string fine() { return s_ + "\n"; }

 private:
  void separa() {
    if (dopo_chiave_) {
      dopo_chiave_ = false;
      return;
    }
    if (!primo_.empty()) {
      if (!primo_.back()) s_ += ',';
      primo_.back() = false;
    }
  }
  void apri(char c) {
    separa();
    s_ += c;
    primo_.push_back(true);
  }
  void chiudi(char c) {
    s_ += c;
    primo_.pop_back();
  }
  void stringa(std::string_view v) {
    s_ += '"';
    for (const char ch : v) {
      const auto c = static_cast<unsigned char>(ch);
      if (c == '"' || c == '\\') {
        s_ += '\\';
        s_ += ch;
      } else if (c < 0x20) {
        static const char* cifre = "0123456789abcdef";
        s_ += "\\u00";
        s_ += cifre[c >> 4];
        s_ += cifre[c & 15];
      } else {
        s_ += ch;
      }
    }
    s_ += '"';
  }

  std::string s_;
  std::vector<bool> primo_;
  bool dopo_chiave_ = false;
};
