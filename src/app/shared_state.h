// TForm4: the state the program's windows share: the LED image set, the logo, the
// language strings, whether the save question has been asked since the last change, and
// which files are the program's own.
// It is never shown, so it is a plain object.
#pragma once

#include "core/base/program_files.h"
#include "core/pictures/led_image_set.h"
#include "core/pictures/logo.h"
#include "core/project/language_table.h"

#include <QObject>
#include <QString>

#include <exception>

namespace lumexa
{

class TForm4 : public QObject
{
    Q_OBJECT
  public:
    explicit TForm4(QObject* parent = nullptr);

    // Language string n as shown to the user.
    QString text(int n) const { return QString::fromStdString(languageStrings[n]); }
    // An error as shown to the user, in the language in force.
    QString errorText(const std::exception& e) const;

    LedImageSet ledImages;
    Logo logo;
    LanguageTable languageStrings;
    bool saveQuestionAsked = false;
    // The program's own files, which no result or project may be written over: the data
    // folder's, the language file in force and the settings file.
    ProgramFiles programFiles;
};

} // namespace lumexa
