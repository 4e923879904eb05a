// The program directory of a GUI test: the build's images and sound copied into a temporary folder (the
// settings and the database stay there too), and the application started on it without its title.
#pragma once
#include <QTemporaryDir>
#include <memory>

#include "app/application.h"

namespace app {

// False when `home` is not usable or a file cannot be copied.
bool CopyProgramFiles(const QTemporaryDir& home);
// The application on `home`, its messages going to `sink`; nullptr when it does not start.
std::unique_ptr<Application> StartApplication(const QTemporaryDir& home, platform::MessageSink* sink);

}  // namespace app
