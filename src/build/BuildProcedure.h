#pragma once

#include "build/SurpriseRecord.h"

#include <QString>

#include <functional>

// The build of a surprise, without any window: the seven checks, the build
// folder, the copies, the conversions, the archive, the container.

struct BuildInputs {
    QString PacketPicture;   // full path of the selected packet picture
    QString SurprisePicture; // full path of the selected surprise picture
    QString PacketSound;     // bare file names inside SoundsFolder, or empty
    QString OpenEffectSound;
    QString SurpriseSound;
    QString Password; // the password field's text, untrimmed
    QString GoToUrl;  // the URL field's text, untrimmed
    bool PacketTransparent = true;
    bool SurpriseTransparent = true;
    QString OutputFileName; // e.g. "Surprise.exe"
    QString EnginesFolder;  // each ending in the separator
    QString SoundsFolder;
    QString TempRoot;
    QString EngineFile; // when set, the engine instead of EnginesFolder + "Surprise.exe"

    QString EnginePath() const;
};

enum class BuildCheck {
    Passed,
    EngineMissing,
    ZipLibraryMissing,
    PacketEmpty,
    SurpriseEmpty,
    PacketTooSmall,
    SurpriseTooSmall,
    UrlInvalid,
};

// The message the builder shows for a failed check; empty for Passed.
QString BuildCheckMessage(BuildCheck check);

// The seven checks in order; the first that fails. Picture errors (a file
// that cannot be loaded) are thrown as PictureError.
BuildCheck RunBuildChecks(const BuildInputs& inputs);

// True when text, trimmed of blanks and control characters, is empty, or
// begins with "HTTP://" in any letter case and is longer than that.
bool IsValidGoToUrl(const QString& text);

// Sets buildFolder to TempRoot + yymmddhhnnsszzz + "/" and creates it. A
// folder of that name that exists already belongs to another build: the
// milliseconds advance until the name is free. buildFolder is empty when
// no folder could be made.
bool MakeBuildFolder(const QString& tempRoot, QString& buildFolder);

struct BuildOutcome {
    QString BuildFolder; // empty when it could not be made
    QString OutputPath;  // BuildFolder + OutputFileName
    bool Built = false;  // the output file exists and is complete
};

// Steps 10 to 17 and the close-out's test, after the checks have passed.
// processEvents is called where pending window messages may run. Errors of
// file operations (FileError, ContainerError, PictureError) are thrown after
// an incomplete output file has been removed. An OutputFileName that is not
// a bare file name, or that names one of the build's own files (b1.bmp,
// b2.bmp, data.zip), is thrown as FileError before anything is made.
BuildOutcome RunBuild(const BuildInputs& inputs, const std::function<void()>& processEvents = {});
