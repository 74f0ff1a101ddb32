#pragma once
// Command-line conventions shared by jwpack, jwhost and jwshot: --help and --version print to
// stdout and exit 0; a usage error prints a one-line reason and the usage of the command on stderr
// and exits 2; failures of the work itself exit 1.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <string>

namespace jw {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// "jwpack 2.5.0 (Riridov 2.5)": the package version and the library's version text, both fixed
// when the tool was built.
inline std::string ToolVersion(const std::string& ATool) {
  return ATool + " " + JW_PACKAGE_VERSION + " (" + JW_VERSION_TEXT + ")";
}

// Decimal whole numbers from ALow to AHigh. On its own CLI11 reads "010" as octal and "0x10" as
// hexadecimal; numbers here are decimal, leading zeros and all.
inline CLI::Validator Decimal(uint64_t ALow, uint64_t AHigh) {
  return CLI::Validator(
      [=](std::string& AText) -> std::string {
        if (AText.empty() || AText.find_first_not_of("0123456789") != std::string::npos)
          return "not a decimal number: " + AText;
        const size_t first = AText.find_first_not_of('0');
        AText = first == std::string::npos ? "0" : AText.substr(first);
        if (AText.size() > 19 || std::stoull(AText) < ALow || std::stoull(AText) > AHigh)
          return AText + " is not from " + std::to_string(ALow) + " to " + std::to_string(AHigh);
        return "";
      },
      // Identifiers may be any 32-bit number; other ranges are worth showing in the help.
      ALow == 0 && AHigh == UINT32_MAX
          ? std::string()
          : "[" + std::to_string(ALow) + " - " + std::to_string(AHigh) + "]",
      "DECIMAL");
}

// Parses the command line. Returns -1 when the work may go on, otherwise the exit code.
inline int ParseCommandLine(CLI::App& AApp, int argc, char** argv) {
  try {
    AApp.parse(argc, argv);
    return -1;
  } catch (const CLI::CallForHelp& e) {
    return AApp.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return AApp.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return AApp.exit(e);
  } catch (const CLI::ParseError& e) {
    // help() is the usage of the subcommand given, or of the tool when none was.
    std::cerr << AApp.get_name() << ": " << e.what() << "\n" << AApp.help();
    return kExitUsage;
  }
}

}  // namespace jw
