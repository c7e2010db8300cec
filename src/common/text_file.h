#pragma once
// Text files as the program writes and reads them: lines end in CR LF, and a
// save never destroys the file it replaces. The new contents go to a temporary
// file beside the target, which is renamed over the target only when every
// byte was written.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace ardenvis::core {

class AtomicTextWriter {
 public:
  AtomicTextWriter() = default;
  ~AtomicTextWriter();  // an uncommitted temporary file is removed
  AtomicTextWriter(const AtomicTextWriter&) = delete;
  AtomicTextWriter& operator=(const AtomicTextWriter&) = delete;

  // Creates the temporary file for `path`; false when it cannot be created.
  bool open(const std::string& path);

  void write(std::string_view text);
  void line(std::string_view text) {
    write(text);
    write("\r\n");
  }
  // Room to build a line in place; call end_line() when done.
  std::string& buffer() { return buffer_; }
  void end_line() {
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushBytes) flush();
  }
  // Room for `size` more characters at the end of the buffer, to be filled in
  // place (no copy of text built elsewhere); keep(end) then keeps what was
  // written up to `end` and drops the rest of the room.
  char* room(size_t size) {
    const size_t used = buffer_.size();
    buffer_.resize(used + size);
    return buffer_.data() + used;
  }
  void keep(const char* end) {
    buffer_.resize(static_cast<size_t>(end - buffer_.data()));
    if (buffer_.size() >= kFlushBytes) flush();
  }

  // Writes what is buffered, closes the temporary file and renames it over the
  // target. False when any write, the close or the rename failed; the target
  // is then untouched and the temporary removed.
  bool commit();
  // Drops the temporary file; the target is untouched.
  void discard();

 private:
  static constexpr size_t kFlushBytes = 1 << 20;
  void flush();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;
  std::string buffer_;
  bool failed_ = false;
};

// The whole contents of a file; nullopt when it cannot be opened or read.
std::optional<std::string> read_text_file(const std::string& path);

// Walks a text's lines; a line ends at LF, and a CR before the LF is dropped,
// so files with CR LF or LF line ends read alike.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  // The next line, or false at the end of the text. Counts every line read.
  bool next(std::string_view& line);
  long lines_read() const { return lines_read_; }

 private:
  std::string_view text_;
  size_t position_ = 0;
  long lines_read_ = 0;
};

bool file_exists(const std::string& path);

}  // namespace ardenvis::core
