#include "app/ProgramInfo.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/DisplaySession.h"
#include "shell/Version.h"

namespace nq {

std::optional<int> AnswerInformationOption(int argc, char** argv) {
  if (argc != 2) return std::nullopt;
  const std::string option = argv[1];
  if (option == "--version") {
    std::printf("nexoquadrix %s\n", std::string(ProgramVersion).c_str());
    return 0;
  }
  if (option != "--help" && option != "-h") return std::nullopt;
  std::printf("usage: nexoquadrix [BOARD.qdx]\n"
              "Plays communication boards: choosing a cell speaks it, writes it, opens another board\n"
              "or runs a command. Without BOARD the home board of the last run opens; the first run of\n"
              "an installed program copies the demo boards into $XDG_DATA_HOME/nexoquadrix/boards.\n"
              "\n"
              "  --help      show this help and exit\n"
              "  --version   show the version and exit\n"
              "  --list-voices  list the voices of the speech window (group, name, language) and exit\n"
              "\n"
              "Environment:\n"
              "  NEXOQUADRIX_CONFIG_DIR  one folder for nexoquadrix.ini and Quadrix.ini\n"
              "  XDG_CONFIG_HOME         settings folder of an installed program (~/.config)\n"
              "  XDG_DATA_HOME           the user's boards (~/.local/share)\n"
              "  QT_QPA_PLATFORM         left alone when set; under Wayland xcb is chosen otherwise\n");
  return 0;
}

void PreferX11UnderWayland(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  const EnvironmentLookup variable = [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
  const std::string platform = PlatformToForce(variable, arguments);
  if (!platform.empty()) setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
}

} // namespace nq
