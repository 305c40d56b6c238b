#include "values/ByteStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>

#include "base/Errors.h"
#include "base/SharedLog.h"

namespace labelplu {
namespace {

constexpr int64_t kMaxSize = std::numeric_limits<int32_t>::max();

std::mutex g_providerMutex;

// A function-local object: the module's start-up may reach it before the
// dynamic initialisers of this file have run.
DumpFolderProvider& Provider() {
  static DumpFolderProvider provider;
  return provider;
}

}  // namespace

DumpFolderProvider SetStreamDumpFolderProvider(DumpFolderProvider provider) {
  std::lock_guard<std::mutex> lock(g_providerMutex);
  std::swap(Provider(), provider);
  return provider;
}

std::string StreamDumpFolder() {
  DumpFolderProvider provider;
  {
    std::lock_guard<std::mutex> lock(g_providerMutex);
    provider = Provider();
  }
  return provider ? provider() : LogFolderPath();
}

void ByteStream::Reserve(int64_t capacity) {
  if (capacity <= m_capacity) return;
  capacity = std::min(capacity, kMaxSize);
  auto* grown = static_cast<uint8_t*>(std::realloc(m_memory.get(), static_cast<size_t>(capacity)));
  if (!grown) throw std::bad_alloc();
  (void)m_memory.release();
  m_memory.reset(grown);
  // Bytes past Size are kept zero, so SetPosition beyond Size exposes zeros.
  std::memset(grown + m_capacity, 0, static_cast<size_t>(capacity - m_capacity));
  m_capacity = static_cast<int32_t>(capacity);
}

void ByteStream::Write(const void* data, int32_t count) {
  if (count == 0) return;
  const int64_t end = static_cast<int64_t>(m_position) + count;
  if (count < 0 || end > kMaxSize) {
    throw StreamWriteError(
        Format("Ошибка записи потока. Превышен размер потока. Pos=%d Count=%d", m_position, count));
  }
  if (end > m_capacity) {
    const int64_t missing = end - m_capacity;
    Reserve(static_cast<int64_t>(m_capacity) + std::max<int64_t>(missing, kGrowthStep));
  }
  std::memcpy(m_memory.get() + m_position, data, static_cast<size_t>(count));
  m_position = static_cast<int32_t>(end);
  m_size = std::max(m_size, m_position);
}

uint8_t* ByteStream::Allocate(int32_t count) {
  if (count < 0) throw StreamWriteError(Format("Ошибка записи потока. Count=%d", count));
  Clear();
  if (count == 0) return nullptr;
  auto* memory = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(count)));
  if (!memory) throw std::bad_alloc();
  m_memory.reset(memory);
  m_capacity = count;
  m_size = count;
  return memory;
}

int32_t ByteStream::Read(void* buffer, int32_t count) {
  if (m_position < 0 || count <= 0) return 0;
  if (static_cast<int64_t>(m_position) + count > m_size) FailRead(count);
  std::memcpy(buffer, m_memory.get() + m_position, static_cast<size_t>(count));
  m_position += count;
  return count;
}

void ByteStream::SetPosition(int32_t p) {
  if (p < 0) return;
  if (p > m_capacity) {
    Reserve(p);
    m_position = p;
    m_size = p;
    return;
  }
  m_position = p;
  m_size = std::max(m_size, p);
}

void ByteStream::Clear() {
  m_memory.reset();
  m_capacity = 0;
  m_size = 0;
  m_position = 0;
}

void ByteStream::DumpToFile(const std::string& fileName) const {
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (!file) throw std::runtime_error("Не удалось создать файл " + fileName);
  const size_t size = static_cast<size_t>(m_size);
  const bool written = size == 0 || std::fwrite(m_memory.get(), 1, size, file) == size;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) throw std::runtime_error("Ошибка записи файла " + fileName);
}

void ByteStream::DumpToLogFolder(std::string_view name) const noexcept {
  try {
    std::string folder = StreamDumpFolder();
    if (folder.empty()) return;
    if (folder.back() != '/') folder += '/';
    DumpToFile(folder + std::string(name));
  } catch (...) {
    // The dump only helps diagnosis; the caller's error is what matters.
  }
}

void ByteStream::FailRead(int64_t count, std::string_view detail) const {
  DumpToLogFolder("Buffer" + std::to_string(m_position) + ".txt");
  std::string message = "Ошибка чтения потока. ";
  if (!detail.empty()) {
    message += detail;
    message += ' ';
  }
  message += Format("Pos=%d Size=%d Count=%d", m_position, m_size, count);
  throw StreamReadError(message);
}

}  // namespace labelplu
