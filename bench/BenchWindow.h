#pragma once
// Opens a catalogue in a folder as the main window holds it: a settings file
// naming it (with the recordings' columns and any extra lines), the settings
// and option items read, the tables open. False when the catalogue did not open.

#include <QString>

bool OpenCatalogueAsTheWindowDoes(const QString &folder, const QString &databaseName,
                                  const QByteArray &extraIniLines = QByteArray());
