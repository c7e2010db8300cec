#include "common/text_file.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "common/format.h"

namespace ardenvis::core {

namespace fs = std::filesystem;

AtomicTextWriter::~AtomicTextWriter() { discard(); }

bool AtomicTextWriter::open(const std::string& path) {
  discard();
  path_ = path;
  std::random_device random;
  // "x": never open a file someone else created under the same name.
  for (int attempt = 0; attempt < 8 && !file_; ++attempt) {
    temporary_ = path + format(".%08x.tmp", static_cast<unsigned>(random()));
    file_ = std::fopen(temporary_.c_str(), "wbx");
  }
  if (!file_) {
    temporary_.clear();
    return false;
  }
  failed_ = false;
  buffer_.clear();
  return true;
}

void AtomicTextWriter::write(std::string_view text) {
  buffer_.append(text);
  if (buffer_.size() >= kFlushBytes) flush();
}

void AtomicTextWriter::flush() {
  if (!file_) {  // nothing open: the text goes nowhere
    buffer_.clear();
    return;
  }
  if (buffer_.empty()) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
  buffer_.clear();
}

bool AtomicTextWriter::commit() {
  if (!file_) return false;
  flush();
  if (std::fflush(file_) != 0 || std::ferror(file_)) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  if (!failed_) {
    std::error_code error;
    fs::rename(temporary_, path_, error);
    if (!error) {
      temporary_.clear();
      return true;
    }
  }
  discard();
  return false;
}

void AtomicTextWriter::discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
    temporary_.clear();
  }
  buffer_.clear();
}

std::optional<std::string> read_text_file(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) return std::nullopt;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string content;
  const auto size = fs::file_size(path, error);
  if (!error) content.reserve(static_cast<size_t>(size));
  char chunk[1 << 16];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

bool LineReader::next(std::string_view& line) {
  if (position_ >= text_.size()) return false;
  size_t end = text_.find('\n', position_);
  size_t next = end == std::string_view::npos ? text_.size() : end + 1;
  if (end == std::string_view::npos) end = text_.size();
  line = text_.substr(position_, end - position_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  position_ = next;
  ++lines_read_;
  return true;
}

bool file_exists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

}  // namespace ardenvis::core
