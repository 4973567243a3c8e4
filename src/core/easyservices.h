// What the store engine and the start-up need of the Easy page, Explore sessions and launching.
// Two helpers are plain functions; the rest is an interface that the Easy-mode subsystem fills in
// and installs, so that the lower layers call it without depending on it.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class QObject;

namespace qv {

class ItemTree;
struct ItemSet;
struct ExploreActivitySaveInfo;

// Replaces each %NAME% by the variable NAME as the Wine prefix's programs see it (the prefix's
// registry, Wine's defaults), else by the host's environment variable NAME (looked up
// upper-cased); a name with neither stays as written, percent signs included, and so does a lone
// percent sign. As on Windows, an expansion stops at 32,767 characters: a text that would grow
// longer stays as written, and `*complete` (when given) is then false.
QString ExpandEnvironmentVars(const QString& text, bool* complete = nullptr);

// The name of an Explore session: "QUARVEL EXPLORE" (in the current language), then a blank
// and the save number when it is above 0.
QString ExploreSessionName(int saveNumber);

class EasyServices {
public:
    virtual ~EasyServices() = default;

    // Sets the main tree's selected node to state (2 store, 1 unstore); with routesHeading the
    // routes heading is put in store first.
    virtual void MarkSelectedNode(int state, bool routesHeading) = 0;
    // Selects and marks In Use each MSTS default route; reports the missing ones; false if any.
    virtual bool MarkDefaultRoutes(ItemTree& tree) = 0;
    // Names each missing MSTS default route in a box; false if any; marks nothing.
    virtual bool CheckDefaultRoutes(ItemTree& tree) = 0;
    // Runs a store job and, when it moved, launches MSTS; false when the store job did not run.
    virtual bool GoAndLaunch(QObject* sender, bool silent) = 0;
    // Starts a program (waiting for it unless told not to); -1 when it could not be started.
    virtual std::int32_t LaunchProgram(const QString& program, const QString& parameters,
                                       const QString& displayName, bool minimiseSelf,
                                       bool startMinimised, bool noWait) = 0;
    // Deletes the temporary Explore files of a route (names: the route's file list, or null).
    virtual void CleanExploreTemp(const QString& routeFolder, QStringList* names) = 0;

    // The Easy page's choice. Index of the page the main page control shows (0 Easy), or -1.
    virtual int MainPageIndex() const = 0;
    // Index of the tab ActivityExplorePageCntrl shows (1 Explore), or -1.
    virtual int ExploreTabIndex() const = 0;
    // The Explore activity chosen on the Easy page, or null.
    virtual const ItemSet* ChosenExploreActivity() const = 0;
    // The Explore session being set up or reloaded, or null.
    virtual const ExploreActivitySaveInfo* CurrentExploreRecord() const = 0;
    // The tree was reloaded: the Easy page's lists, which point into it, are emptied and filled
    // anew when the page is shown. Without an Easy page nothing happens.
    virtual void RefillEasyLists() {}
};

// The services in force. Until one is installed, a default that does nothing and answers false,
// -1 or null.
EasyServices& TheEasyServices();
// Installs services (not owned); nullptr puts the default back.
void SetEasyServices(EasyServices* services);

} // namespace qv
