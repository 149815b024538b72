#include "app/settings_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <type_traits>
#include <utility>

#include "app/settings_fields.h"
#include "files/file_io.h"
#include "files/file_lock.h"

namespace qv {

namespace {

// The second copy of the automatic processing block: a file that ends inside
// it is taken as no settings file at all.
constexpr int kSecondBlockFirst = 1385;
constexpr int kSecondBlockLast = 1398;

void PutInt16(std::uint8_t* at, int value) {
  const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
  at[0] = static_cast<std::uint8_t>(v & 0xFF);
  at[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t GetUInt16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }
std::int16_t GetInt16(const std::uint8_t* at) { return static_cast<std::int16_t>(GetUInt16(at)); }

int Clamped(int value, WriteClamp clamp) {
  if (value < 50) return value;
  switch (clamp) {
    case WriteClamp::TenFrom50:
      return 10;
    case WriteClamp::ZeroFrom50:
      return 0;
    case WriteClamp::None:
      break;
  }
  return value;
}

// An 80-byte card: prefix, value, closing quote, spaces. The value is cut so
// the quote stays inside the card.
void PutCard(std::uint8_t* at, std::string_view prefix, std::string_view value) {
  std::memset(at, ' ', kCardBytes);
  std::memcpy(at, prefix.data(), prefix.size());
  value = value.substr(0, kCardBytes - 1 - prefix.size());
  std::memcpy(at + prefix.size(), value.data(), value.size());
  at[prefix.size() + value.size()] = '\'';
}

// Characters 11 to 79 of a card, ending at the first quote (or zero byte).
std::string_view CardValue(const std::uint8_t* card) {
  std::string_view text(reinterpret_cast<const char*>(card) + kCardValueStart, kCardBytes - kCardValueStart);
  return text.substr(0, text.find_first_of(std::string_view("'\0", 2)));
}

void PutLongText(std::uint8_t* at, std::string_view prefix, std::string_view text) {
  for (int card = 0; card < kLongTextCards; ++card) {
    std::uint8_t* c = at + card * kCardBytes;
    std::memset(c, ' ', kCardBytes);
    std::memcpy(c, prefix.data(), prefix.size());
    const std::size_t from = static_cast<std::size_t>(card) * kCardPieceLength;
    if (from < text.size()) {
      const std::string_view piece = text.substr(from, kCardPieceLength);
      std::memcpy(c + kCardValueStart, piece.data(), piece.size());
    }
    c[kCardBytes - 1] = '\'';
  }
}

std::string GetLongText(const std::uint8_t* at) {
  std::string text;
  for (int card = 0; card < kLongTextCards; ++card) {
    std::string_view value = CardValue(at + card * kCardBytes);
    if (card == kLongTextCards - 1) value = value.substr(0, kLastPieceMaxLength);
    text += value;
  }
  return text;
}

void EncodeField(const SettingsField& field, std::uint8_t* at) {
  using K = FieldKind;
  switch (field.kind) {
    case K::Int16:
      PutInt16(at, Clamped(*std::get<std::int16_t*>(field.target), field.clamp));
      break;
    case K::UInt16:
      PutInt16(at, *std::get<std::uint16_t*>(field.target));
      break;
    case K::WholeFloat:
      PutInt16(at, static_cast<int>(*std::get<float*>(field.target)));
      break;
    case K::YesNo:
      at[0] = *std::get<bool*>(field.target) ? 'y' : 'n';
      break;
    case K::OneZero:
      at[0] = *std::get<bool*>(field.target) ? '1' : '0';
      break;
    case K::AlwaysNo:
      at[0] = 'n';
      break;
    case K::Letters:
    case K::LayoutMarker:
      std::memcpy(at, std::get<char*>(field.target), static_cast<std::size_t>(field.size));
      break;
    case K::Card:
      PutCard(at, field.cardPrefix, std::get<FixedText<70>*>(field.target)->view());
      break;
    case K::LongText:
      PutLongText(at, field.cardPrefix, std::get<FixedText<257>*>(field.target)->view());
      break;
    case K::Double: {
      const double value = *std::get<double*>(field.target);
      std::uint64_t bits;
      std::memcpy(&bits, &value, 8);
      for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
      break;
    }
    case K::Path: {
      std::memset(at, ' ', static_cast<std::size_t>(field.size));
      const auto path = std::get<FixedText<100>*>(field.target)->view();
      std::memcpy(at, path.data(), path.size());
      at[path.size()] = 0;
      break;
    }
    case K::FilterNames: {
      const auto& names = *std::get<std::array<FixedText<10>, 8>*>(field.target);
      for (std::size_t i = 0; i < names.size(); ++i) std::memcpy(at + i * 10, names[i].bytes, 10);
      break;
    }
    case K::Pid:
      std::memcpy(at, std::get<FixedText<5>*>(field.target)->bytes, 5);
      break;
  }
}

// Reads one field; false when its check fails.
bool DecodeField(const SettingsField& field, const std::uint8_t* at, ProgramSettings& settings) {
  using K = FieldKind;
  switch (field.kind) {
    case K::Int16:
      *std::get<std::int16_t*>(field.target) = GetInt16(at);
      break;
    case K::UInt16:
      *std::get<std::uint16_t*>(field.target) = GetUInt16(at);
      break;
    case K::WholeFloat:
      *std::get<float*>(field.target) = static_cast<float>(GetInt16(at));
      break;
    case K::YesNo:
      if (field.strict && at[0] != 'y' && at[0] != 'n') return false;
      *std::get<bool*>(field.target) = at[0] == 'y';
      break;
    case K::OneZero:
      if (field.strict && at[0] != '1' && at[0] != '0') return false;
      *std::get<bool*>(field.target) = at[0] == '1';
      break;
    case K::AlwaysNo:
      *std::get<bool*>(field.target) = at[0] == 'y';
      break;
    case K::Letters:
    case K::LayoutMarker:
      std::memcpy(std::get<char*>(field.target), at, static_cast<std::size_t>(field.size));
      break;
    case K::Card:
      std::get<FixedText<70>*>(field.target)->set(CardValue(at));
      break;
    case K::LongText:
      std::get<FixedText<257>*>(field.target)->set(GetLongText(at));
      break;
    case K::Double: {
      std::uint64_t bits = 0;
      for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(at[i]) << (8 * i);
      double value;
      std::memcpy(&value, &bits, 8);
      *std::get<double*>(field.target) = value;
      break;
    }
    case K::Path: {
      std::string_view text(reinterpret_cast<const char*>(at), static_cast<std::size_t>(field.size));
      std::get<FixedText<100>*>(field.target)->set(text.substr(0, text.find_first_of(std::string_view("'\0", 2))));
      break;
    }
    case K::FilterNames: {
      auto& names = *std::get<std::array<FixedText<10>, 8>*>(field.target);
      for (std::size_t i = 0; i < names.size(); ++i) {
        std::string_view name(reinterpret_cast<const char*>(at + i * 10), 10);
        names[i].set(name.substr(0, name.find('\0')));
      }
      break;
    }
    case K::Pid: {
      std::string_view pid(reinterpret_cast<const char*>(at), 5);
      std::get<FixedText<5>*>(field.target)->set(pid.substr(0, pid.find('\0')));
      break;
    }
  }
  return field.check == nullptr || field.check(settings);
}

// The settings file's bytes (at most 64 KiB of them), or nothing when it
// cannot be opened.
std::optional<std::vector<std::uint8_t>> ReadSettingsBytes(const DataPaths& paths) {
  std::ifstream in(SettingsFilePath(paths), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  char chunk[4096];
  while (in && bytes.size() < 1 << 16) {
    in.read(chunk, sizeof chunk);
    bytes.insert(bytes.end(), chunk, chunk + in.gcount());
  }
  return bytes;
}

// Writes the file from the settings; the caller holds the file's lock.
SettingsStatus WriteSettingsFile(ProgramSettings& settings, const DataPaths& paths) {
  if (!ReplaceFileWith(SettingsFilePath(paths), EncodeSettings(settings), Durability::Synced)) {
    return SettingsStatus::SaveFailed;
  }
  ApplyTimeZone(settings);
  return SettingsStatus::Ok;
}

// The autosave folder made where missing (the file and its lock live there)
// and the file's lock taken.
FileLock LockSettingsForWriting(const DataPaths& paths) {
  std::error_code ec;
  std::filesystem::create_directories(NativePath(paths, kAutosaveFolder), ec);
  return FileLock(SettingsLockPath(paths));
}

}  // namespace

std::vector<std::uint8_t> EncodeSettings(const ProgramSettings& settings) {
  ProgramSettings copy = settings;
  std::vector<std::uint8_t> bytes(kSettingsFileBytes, 0);
  for (const auto& field : SettingsFields(copy)) EncodeField(field, bytes.data() + field.offset);
  return bytes;
}

SettingsReadResult DecodeSettings(std::span<const std::uint8_t> bytes, ProgramSettings& settings) {
  std::size_t pos = 0;
  // In the earlier layout, the byte read for the layout marker is the first
  // byte of the next card.
  std::uint8_t carried[kCardBytes];
  bool carrying = false;
  for (const auto& field : SettingsFields(settings)) {
    const auto size = static_cast<std::size_t>(field.size);
    const std::uint8_t* at;
    if (carrying) {
      if (bytes.size() - pos < size - 1) return {SettingsReadResult::Kind::Short, field.offset};
      carried[0] = bytes[pos - 1];
      std::memcpy(carried + 1, bytes.data() + pos, size - 1);
      pos += size - 1;
      at = carried;
      carrying = false;
    } else {
      if (bytes.size() - pos < size) {
        return {SettingsReadResult::Kind::Short, field.offset};
      }
      at = bytes.data() + pos;
      pos += size;
    }
    if (field.kind == FieldKind::LayoutMarker && at[0] != 'y' && at[0] != 'n') {
      carrying = true;
      continue;
    }
    if (!DecodeField(field, at, settings)) {
      return {SettingsReadResult::Kind::Inconsistent, field.offset};
    }
  }
  return {};
}

void ApplyWindowBackground(ProgramSettings& s) {
  auto& d = s.derived;
  switch (s.windowBackground) {
    case 'r':
      d.backgroundRed = 120, d.backgroundGreen = 40, d.backgroundBlue = 40;
      break;
    case 'g':
      d.backgroundRed = d.backgroundGreen = d.backgroundBlue = 90;
      break;
    case 'l':
      d.backgroundRed = d.backgroundGreen = d.backgroundBlue = 192;
      break;
    default:
      break;
  }
}

void ApplyTelescopePort(ProgramSettings& s) {
  if (s.telescopePort == '1' || s.telescopePort == '2') {
    s.usePcPort = false;
    s.derived.comPort = s.telescopePort - '0';
  } else if (s.telescopePort == '3') {
    s.usePcPort = true;
  }
}

void ApplyGuiderCameraType(ProgramSettings& s) {
  auto& d = s.derived;
  if (s.guiderCameraType == 's') {
    d.guiderColumns = 500;
    d.guiderColumnOffset = 0;
    d.guiderPixelCount = 145'000;
  } else {
    d.guiderColumns = 376;
    d.guiderColumnOffset = 62;
    d.guiderPixelCount = 376 * kGuiderRows;
    s.guiderBin2x2 = false;
  }
}

void ApplyDerivedSettings(ProgramSettings& s) {
  ApplyWindowBackground(s);
  ApplyTelescopePort(s);
  ApplyGuiderCameraType(s);
  auto& d = s.derived;
  if (s.useSavedCooling && !s.maximumCooling) {
    d.coolerSetpointC = s.savedCoolingSetpoint;
  } else {
    s.useSavedCooling = false;
  }
  s.unsignedFitsFormat = false;
  d.autosaveDirectory = s.autosaveDirectory.empty() ? std::string("c:\\AUTOSAVE") : s.autosaveDirectory.str();
  if (s.colourBalanceLevel < 1 || s.colourBalanceLevel > 9) s.colourBalanceLevel = 3;
}

void ApplyTimeZone(ProgramSettings& settings) {
  settings.derived.timeZone = "GMT" + std::to_string(settings.utOffsetHours);
  ::setenv("TZ", settings.derived.timeZone.c_str(), 1);
  ::tzset();
}

std::string SettingsFilePath(const DataPaths& paths) { return NativePath(paths, kSettingsFilePath); }

std::string SettingsLockPath(const DataPaths& paths) { return SettingsFilePath(paths) + ".lock"; }

SettingsStatus LoadSettings(ProgramSettings& settings, const DataPaths& paths, Host& host) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder = NativePath(paths, kAutosaveFolder);
  fs::create_directories(folder.parent_path(), ec);
  if (fs::create_directory(folder, ec)) {
    // A fresh installation: the folder is new, so write a default file.
    const SettingsStatus saved = SaveSettings(settings, paths);
    ApplyDerivedSettings(settings);
    return saved;
  }

  // Held while the file is read and, when a value fails its check, written
  // again, so no other program's save falls in between. A folder we may not
  // write to has no lock file; the file is still read.
  const FileLock lock(SettingsLockPath(paths));
  const auto file = ReadSettingsBytes(paths);
  if (!file) return SettingsStatus::LoadFailed;
  const std::vector<std::uint8_t>& bytes = *file;

  // The file is decoded into a copy; only a file that is taken (whole, or
  // rewritten after a failed check) replaces the settings, in one step.
  ProgramSettings parsed = settings;
  const SettingsReadResult read = DecodeSettings(bytes, parsed);
  if (read.kind == SettingsReadResult::Kind::Short) {
    if (read.fieldOffset >= kSecondBlockFirst && read.fieldOffset <= kSecondBlockLast) {
      host.showMessage(MessageBoxRequest{"", std::string(kNoSettingsWarning), MessageIcon::None, -1});
    }
    return SettingsStatus::LoadFailed;
  }
  ApplyDerivedSettings(parsed);
  settings = std::move(parsed);
  if (read.kind == SettingsReadResult::Kind::Inconsistent) {
    return lock.held() ? WriteSettingsFile(settings, paths) : SettingsStatus::SaveFailed;
  }
  ApplyTimeZone(settings);
  return SettingsStatus::Ok;
}

SettingsStatus ReadSettingsFileOnly(ProgramSettings& settings, const DataPaths& paths) {
  const auto file = ReadSettingsBytes(paths);
  if (!file) return SettingsStatus::LoadFailed;
  const std::vector<std::uint8_t>& bytes = *file;
  ProgramSettings parsed = settings;
  if (DecodeSettings(bytes, parsed).kind != SettingsReadResult::Kind::Complete) return SettingsStatus::LoadFailed;
  ApplyDerivedSettings(parsed);
  settings = std::move(parsed);
  ApplyTimeZone(settings);
  return SettingsStatus::Ok;
}

SettingsStatus SaveSettings(ProgramSettings& settings, const DataPaths& paths) {
  const FileLock lock = LockSettingsForWriting(paths);
  if (!lock.held()) return SettingsStatus::SaveFailed;
  return WriteSettingsFile(settings, paths);
}

SettingsStatus SaveSettingsChange(ProgramSettings& settings, const DataPaths& paths,
                                  const std::function<void(ProgramSettings&)>& change) {
  const FileLock lock = LockSettingsForWriting(paths);
  if (!lock.held()) return SettingsStatus::SaveFailed;
  std::error_code ec;
  ProgramSettings onDisk = settings;
  if (std::filesystem::exists(SettingsFilePath(paths), ec) &&
      ReadSettingsFileOnly(onDisk, paths) != SettingsStatus::Ok) {
    return SettingsStatus::LoadFailed;
  }
  change(onDisk);
  const SettingsStatus saved = WriteSettingsFile(onDisk, paths);
  if (saved == SettingsStatus::Ok) change(settings);
  return saved;
}

}  // namespace qv
