#include "platform/install_layout.h"

static const char* dataFolderOfSystemInstall = nullptr;

void useSystemInstall(const char* dataFolder) { dataFolderOfSystemInstall = dataFolder; }

const char* systemDataFolder() { return dataFolderOfSystemInstall; }
