<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="en_GB">
<!-- The English language module. It carries the version of the program it belongs to (a module
     of another version is not offered) and lists every text of the message table, then the
     program's other texts by their context: the code's own and every text of the forms and
     dialogs. A translation starts from a copy of this file. English needs no translations, as
     the texts are the code's own.
     Texts new in the sources are found by running lupdate over them into a copy of this file
     (lupdate -recursive src -locations none -ts copy.ts) and are added here as it adds them.
     lupdate is never run on this file itself: the code looks the message table up by key, so
     lupdate sees none of its texts and would mark them all vanished. The core tests list any
     text missing here. -->
<context>
    <name>VERSIONINFO</name>
    <message>
        <source>ProductName</source>
        <translation>Quarvel</translation>
    </message>
    <message>
        <source>ProductVersion</source>
        <translation>@QUARVEL_PRODUCT_VERSION@</translation>
    </message>
    <message>
        <source>FileVersion</source>
        <translation>@QUARVEL_FILE_VERSION@</translation>
    </message>
    <message>
        <source>LegalCopyright</source>
        <translation>Copyright (C) 2026 The Quarvel developers</translation>
    </message>
</context>
<context>
    <name>TStringsForm</name>
    <message>
        <source>About</source>
        <comment>ABOUT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <comment>VERSION_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS has not been installed on this system</source>
        <comment>NO_MSTS_INSTALLED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No PATH has been defined for MSTS files on this system</source>
        <comment>NO_MSTS_PATH_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No folder has been assigned yet as the storage folder for Quarvel. Please choose a folder (or accept the default value), then click the OK button.</source>
        <comment>NEW_QUARVEL_KEY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please choose the new folder to be used as the storage folder for Quarvel, then click the OK button.</source>
        <comment>EXISTING_QUARVEL_KEY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No MSTS DEFAULT.WAG file found in the MSTS folder &apos;</source>
        <comment>NO_DEFAULT_WAG_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Converting</source>
        <comment>CONVERTING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rebuilding Stock Item cache</source>
        <comment>REBUILDING_STOCK_CACHE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rebuilding Consists cache</source>
        <comment>REBUILDING_CONSISTS_CACHE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rebuilding Path cache</source>
        <comment>REBUILDING_PATH_CACHE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please Wait</source>
        <comment>PLEASE_WAIT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Startup Actions Complete</source>
        <comment>STARTUP_ACTIONS_COMPLETE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The MSTS folder you specified &apos;</source>
        <comment>MSTS_FOLDER_MOVED0</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The MSTS folder specified by the MSTS Registry settings &apos;</source>
        <comment>MSTS_FOLDER_MOVED1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The registered Quarvel folder &apos;</source>
        <comment>QUARVEL_FOLDER_MOVED1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; cannot be found.</source>
        <comment>QUARVEL_FOLDER_MOVED2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(It may have been moved outside of Quarvel.) You must either close the program and restore the folder to its original position, or, request Quarvel to reset the folder registration. Do you want to close the program?</source>
        <comment>QUARVEL_FOLDER_MOVED3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;&#13;This problem may be caused by corruption in the MSTS Registry settings,&#13;or the MSTS folder may have been moved incorrectly.</source>
        <comment>MSTS_FOLDER_MOVED3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want Quarvel to reset the folder registration?</source>
        <comment>RESET_QUARVEL_FOLDER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error: Unexpected Registry write failure.&#13;</source>
        <comment>BAD_REGISTRY_WRITE_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel cannot continue.&#13;Check that your account has the necessary&#13;permissions to write to the Registry.&#13;&#13;Key: &apos;</source>
        <comment>BAD_REGISTRY_WRITE_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error: Unexpected Registry delete failure.&#13;</source>
        <comment>BAD_REGISTRY_DELETE_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &apos;</source>
        <comment>CREATE_DIR_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; does not exist. Do you want to create it?</source>
        <comment>CREATE_DIR_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The storage folder will be moved from &apos;</source>
        <comment>MOVE_DIR_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; to &apos;</source>
        <comment>MOVE_DIR_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; Do you want to move it?</source>
        <comment>MOVE_DIR_LEG3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &apos;</source>
        <comment>DIR_NOT_EMPTY_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; is NOT empty. It cannot be used by Quarvel</source>
        <comment>DIR_NOT_EMPTY_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program will use the existing Quarvel data found in the folder &apos;</source>
        <comment>DIR_NOT_EMPTY_LEG3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified folder cannot be a subfolder of the existing Quarvel storage folder</source>
        <comment>PATH_INCLUDED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Quarvel Storage Folder cannot be&#13;contained within the MSTS folder structure</source>
        <comment>PATH_CANNOT_BE_IN_MSTS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified folder/file name is invalid</source>
        <comment>INVALID_FILENAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified PathID is invalid</source>
        <comment>INVALID_PATHID</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified folder must be on the same drive as the drive for the MSTS Path</source>
        <comment>DIFFERENT_DRIVE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified folder is the same as the existing folder</source>
        <comment>SAME_FOLDER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Fixed Objects selected must be within the folders&#13;&apos;</source>
        <comment>NOT_ALLOWED_PATH_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;&#13;or &apos;</source>
        <comment>NOT_ALLOWED_PATH_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unexpected result at</source>
        <comment>UNEXPECTED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Writing to file &apos;</source>
        <comment>WRITE_ERROR</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is already running</source>
        <comment>ALREADY_RUNNING_ERR_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following filter is invalid. It will be ignored in the search.&#13;&#13;Filter:-</source>
        <comment>INVALID_MASK_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &apos;</source>
        <comment>CONFIRM_FILE_MOVE1A</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; already exists.</source>
        <comment>CONFIRM_FILE_MOVE1C</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Would you like to replace the existing older file</source>
        <comment>CONFIRM_FILE_MOVE2A</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Would you like to keep the existing newer file</source>
        <comment>CONFIRM_FILE_MOVE2B</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>size:</source>
        <comment>CONFIRM_FILE_MOVE3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>modified:</source>
        <comment>CONFIRM_FILE_MOVE4</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with this  newer one?</source>
        <comment>CONFIRM_FILE_MOVE5A</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>or replace it with this older one?</source>
        <comment>CONFIRM_FILE_MOVE5B</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(The file contents are the same)</source>
        <comment>CONFIRM_FILE_MOVE6</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to uninstall Quarvel?</source>
        <comment>CONFIRM_UNINSTALL1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You cannot Choose Uninstall until Everything has been Unstored!</source>
        <comment>CONFIRM_UNINSTALL2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are still files present in your Quarvel folders.&#13;The Uninstall will terminate without making any changes.</source>
        <comment>CONFIRM_UNINSTALL3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are still files present in your Quarvel Storage Folder&#13;This may be caused by the files being in use by Windows&#13;Make sure that you do not have any files from the Quarvel folder open&#13;and make sure that Explorer is not viewing the Quarvel Storage Folder&#13;then run &apos;Unstore Everything!&apos; again</source>
        <comment>WARN_UNSTORE_EVERYTHING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The MSTS Editor requires the screen resolution to be 1024 * 768 or greater.&#13;Your current settings are not suitable.&#13;&#13;Do you want to change the screen resolution?</source>
        <comment>QUERY_SCREEN_RESOLUTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following Default Route Folder was not found in this installation</source>
        <comment>DEFAULT_ROUTE_NOT_FOUND1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The search string &apos;</source>
        <comment>SEARCH_NOT_FOUND1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>information in the following file was not found&#13;or the file itself was not found</source>
        <comment>GENERAL_NOT_FOUND0</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following File was not found</source>
        <comment>GENERAL_NOT_FOUND1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Folder: &apos;</source>
        <comment>GENERAL_NOT_FOUND2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;File: &apos;</source>
        <comment>GENERAL_NOT_FOUND3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Desc: &apos;</source>
        <comment>GENERAL_NOT_FOUND4</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Needed for: &apos;</source>
        <comment>GENERAL_NOT_FOUND5</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>was not found</source>
        <comment>GENERAL_NOT_FOUND6</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The .ASV file for the following Activity is out of date&#13;The Activity .ASV file will not be used until&#13;it has been recreated&#13;If you wish you can delete the .ASV file</source>
        <comment>OLDER_ASV_FILE_FOUND</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following Consist will cause a problem if selected in MSTS because the leading locomotive .ENG file has no cabview</source>
        <comment>DRIVEABLE_NO_CABVIEW</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error in Copy Process</source>
        <comment>COPY_ERROR</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was an error in moving</source>
        <comment>MOVETHING_ERROR1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;From Path: &apos;</source>
        <comment>MOVETHING_ERROR2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;To Path: &apos;</source>
        <comment>MOVETHING_ERROR3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel has been waiting for access to a file for 10 seconds&#13;Do you want Quarvel to try again?</source>
        <comment>MOVETHING_ERROR4</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to unset R-O Attribute</source>
        <comment>MOVETHING_ERROR5</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to remove input folder</source>
        <comment>MOVETHING_ERROR6</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to rename file</source>
        <comment>MOVETHING_ERROR7</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to remove input file</source>
        <comment>MOVETHING_ERROR8</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to remove output file</source>
        <comment>MOVETHING_ERROR9</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to remove (duplicate) input file</source>
        <comment>MOVETHING_ERROR10</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Unable to find the file</source>
        <comment>MOVETHING_ERROR11</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Program Error: Invalid calling parameter</source>
        <comment>MOVETHING_ERROR12</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Program Error: Attempting move to the same file</source>
        <comment>MOVETHING_ERROR13</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following file/folder has a R/O System or Hidden attribute set</source>
        <comment>CHECKATTR_ERROR1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;File/Path: &apos;</source>
        <comment>CHECKATTR_ERROR2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder/Files were found with R-O, System, or Hidden attributes set&#13;This will prevent Quarvel from working&#13;and if Quarvel is used before these attributes&#13;are changed, your MSTS installation could be damaged</source>
        <comment>CHECKATTR_ERROR3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file specified below is invalid, or is not a QUARVEL file</source>
        <comment>INVALID_QVS_FILE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;&#13;Quarvel will create a new file</source>
        <comment>INVALID_QVS_CONTINUE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder specified cannot be used to save Scenario files</source>
        <comment>INVALID_QVS_FOLDER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Lot Number specified is invalid&#13;If the Lot Number is numeric, it must be an existing Quarvel Lot Number&#13;If you wish to specify your own Lot Number it must begin with&#13;an alphabetic character</source>
        <comment>INVALID_LOT_NUMBER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report/Error/Warning List</source>
        <comment>REPORT_HEADER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: - Item No.</source>
        <comment>REPORT_ERROR_HEADER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning: - Item No.</source>
        <comment>REPORT_WARNING_HEADER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report: - Item No.</source>
        <comment>REPORT_REPORT_HEADER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Scenario just loaded has been modified during loading because&#13;either items in the Scenario no longer exist in the MSTS installation,&#13;items in the MSTS installation have been amended,&#13;or new items have been added to the MSTS installation</source>
        <comment>SCENARIO_MODIFIED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Selected Item</source>
        <comment>SHOW_SELECTED_ITEM_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark checkbox(es) to restrict the Stock Items list to items of the type(s) selected.|</source>
        <comment>STOCK_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark checkbox(es) to restrict the Consist list to items of the type(s) selected.|</source>
        <comment>CONSIST_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark checkbox(es) to restrict any locomotives displayed in the Stock Items list to locomotives of the the type(s) selected.|</source>
        <comment>POWER_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark checkbox(es) to restrict any Consists displayed&#13;in the Consist list (which have locomotives)&#13;to those with locomotives of the the type(s) selected.|</source>
        <comment>CONSIST_POWER_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter all or part of a Consist Name to restrict any Consists displayed&#13;in the Consist list</source>
        <comment>CONSIST_NAME_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter all or part of the Path start information to restrict any Paths displayed&#13;in the Path list</source>
        <comment>PATH_FROM_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter all or part of the Path ending information to restrict any Paths displayed&#13;in the Path list</source>
        <comment>PATH_TO_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter all or part of a Stock Item Name to restrict&#13;any Stock Items displayed in the Stock Item list&#13;</source>
        <comment>STOCK_NAME_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter all or part of a Locomotive Name to restrict any Consists&#13;displayed in the Consist list (which have locomotives)&#13;</source>
        <comment>ENGINE_NAME_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter all or part of a Lot Number to restrict any items&#13;displayed in the Available list&#13;</source>
        <comment>LOT_NUMBER_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a status to restrict any items displayed&#13;in the Available list to those in the chosen state|</source>
        <comment>STOREIND_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>to those which match the entry&#13;Wildcards are allowed e.g. *gwr*|</source>
        <comment>NAME_FILTER_HINT2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose one of the Routes in the list to restrict any items displayed&#13;to those which are used in the Route|</source>
        <comment>USED_IN_ROUTE_FILTER_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The</source>
        <comment>ADD_DUPL_EXPLORE_MODE_CONSIST_TAG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; already exists in &apos;</source>
        <comment>ADD_DUPL_EXPLORE_MODE_CONSIST_TAG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;&#13;the insert will be ignored!&#13;&#13;Do you want to see this message again if there are other duplicates? (Yes/No)&#13;(Cancel will stop all inserts)</source>
        <comment>ADD_DUPL_EXPLORE_MODE_CONSIST_TAG3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file for the</source>
        <comment>DEL_EXPLORE_MODE_CONSIST_TAG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; in &apos;</source>
        <comment>DEL_EXPLORE_MODE_CONSIST_TAG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; cannot be found!&#13;&#13;Do you want to delete this entry from the Current</source>
        <comment>DEL_EXPLORE_MODE_CONSIST_TAG3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit&#13;(Selected Route)</source>
        <comment>EDIT_SELECTED_ROUTE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit&#13;(Global Settings)</source>
        <comment>EDIT_GLOBAL_SETTINGS_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit the Explore Mode Consist list for</source>
        <comment>EDIT_EXPLORE_MODE_CONSIST_LIST_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this Route</source>
        <comment>EDIT_THIS_ROUTE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you really want to go ahead and Unstore Everything?&#13;This may take several minutes to complete.</source>
        <comment>UNSTORE_EVERYTHING_QUERY_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you really want to go ahead and prepare the selected Route(s) for maintenance?&#13;This may take several minutes to complete.</source>
        <comment>UNSTORE_SELECTED_QUERY_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to save the scenario changes you made</source>
        <comment>SAVE_QUERY_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to continue?</source>
        <comment>ARE_YOU_SURE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are NO Routes or Activities left &apos;In Use&apos;.&#13;</source>
        <comment>DO_NOT_ALLOWED_TAG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are NO Paths left &apos;In Use&apos;.&#13;</source>
        <comment>DO_NOT_ALLOWED_TAG1_1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is NO driveable Path left &apos;In Use&apos; for this Route.&#13;</source>
        <comment>DO_NOT_ALLOWED_TAG1_2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS will not run with this configuration.</source>
        <comment>DO_NOT_ALLOWED_TAG1A</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS will not display this Route in the Route &amp; Activity Selection screen.</source>
        <comment>DO_NOT_ALLOWED_TAG1B</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are Routes in &apos;In Use&apos;, but there are no Activities &apos;In Use&apos;&#13;</source>
        <comment>DO_NOT_ALLOWED_TAG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Drive specified for the Quarvel Storage Folder&#13; is different to the drive specified for MSTS Folders&#13;The process cannot continue</source>
        <comment>DO_NOT_ALLOWED_TAG4</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no Routes set to &apos;In Use&#13;There must be at least one Route set to &apos;In Use&apos;&#13;to use the Unstore function&#13;The Routes set to &apos;In Use&apos; will be those to be Unstored</source>
        <comment>DO_NOT_ALLOWED_TAG6</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want Quarvel to automatically select&#13;the MSTS Folders Path from the existing MSTS Information?&#13;&#13;(You should only choose No if your system has multiple &#13;MSTS installations and you have read the Quarvel manual first)</source>
        <comment>SELECT_MSTS_FOLDER_TAG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the folder which is the top of the structure MSTS will use to store its information</source>
        <comment>SELECT_MSTS_FOLDER_TAG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have cancelled the selection of the MSTS Folders location.&#13;</source>
        <comment>SELECT_MSTS_FOLDER_TAG3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You cannot Choose another MSTS folder until Everything has been Unstored!</source>
        <comment>SELECT_MSTS_FOLDER_TAG4</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning: If you change the MSTS folder your Saved Scenarios and Explore Mode Consist settings&#13;may be incompatible with the new folder you select!&#13;&#13;</source>
        <comment>SELECT_MSTS_FOLDER_TAG5</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(MSTS Folders Location)</source>
        <comment>SELECT_MSTS_FOLDER_TAG7</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Folder Selection changed to AUTOMATIC</source>
        <comment>SELECT_MSTS_FOLDER_TAG8</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Folder Selection changed to (FIXED) &apos;</source>
        <comment>SELECT_MSTS_FOLDER_TAG9</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have changed the Drive for the MSTS folder&#13;CAUTION: You must ensure that the Quarvel Storage Folder&#13;is placed on the same Drive.</source>
        <comment>SELECT_MSTS_FOLDER_TAG10</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected MSTS folder &apos;</source>
        <comment>SELECT_MSTS_FOLDER_TAG11</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; is not valid.&#13;At least one of the MSTS files that are needed for a normal installation appears to be missing.</source>
        <comment>SELECT_MSTS_FOLDER_TAG11A</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the folder in which to store viewer screenshots</source>
        <comment>SELECT_MSTS_FOLDER_TAG12</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Fixed)</source>
        <comment>MSTS_FOLDER_FIXED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Automatic)</source>
        <comment>MSTS_FOLDER_AUTOMATIC_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Requested Processing is Completed</source>
        <comment>PROCESS_COMPLETED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At least one error occurred during the preparations for the Move Process.&#13;&#13;</source>
        <comment>SURVEY_ERRORS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;&#13;Warning: At least one error occurred during the Move Process.&#13;See the Quarvel manual for suggestions on how to proceed.</source>
        <comment>MOVE_ERRORS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;&#13;For details of the error(s) choose No and see the Information pane&#13;in Classic Quarvel</source>
        <comment>EASY_ERRORS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no Fixed Objects entered in Quarvel. MSTS will not run properly without the Fixed Objects defined.</source>
        <comment>NO_EXCLUSIONS_ENTERED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Maint. Prepared]</source>
        <comment>MAINT_UNSTORED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Maint. Prepared (All Consists)]</source>
        <comment>MAINT_UNSTORED_ALL_CONSISTS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Maint. Prepared (All Stock)]</source>
        <comment>MAINT_UNSTORED_ALL_STOCK</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before you edit Routes, Activities, Consists or Stock with other programs,&#13;prepare them for maintenance first, so that every file they need is in the MSTS folder.&#13;(See Tools/Options/Suppress Maintenance Warning)|</source>
        <comment>MAINT_LABEL_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At least one Activity was saved during the preceding MSTS session.&#13;&#13;MSTS sometimes fails to restart a saved Activity if the Scenario which is active&#13;when the Activity is restarted is not the same as the Scenario which was active&#13;when the Activity was saved.&#13;</source>
        <comment>ACTIVITY_SAVED1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Do you want to save the current Scenario?&#13;(if you have not already saved it before)</source>
        <comment>ACTIVITY_SAVED2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel has detected that the MSTS folder location&#13;has been changed and there are still items in store!&#13;&#13;If these items are restored to the current MSTS folder&#13;it is likely that the MSTS configuration will be damaged.</source>
        <comment>CHANGED_MSTS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected item is already in the MSTS folder.</source>
        <comment>IMMEDIATE_UNSTORE_ALREADY</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No valid Activity was found in this Route.&#13;&#13;(MSTS requires at least one valid Activity for you to be able to Explore the Route)</source>
        <comment>WARN_NO_VALID_ACTIVTY</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Store Selected&#13;Activity(ies)</source>
        <comment>STORE_ACTIVITY_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore Selected&#13;Activity(ies)</source>
        <comment>UNSTORE_ACTIVITY_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Store Selected&#13;Route(s)</source>
        <comment>STORE_ROUTE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore Selected&#13;Route(s)</source>
        <comment>UNSTORE_ROUTE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore Mode Consists</source>
        <comment>EXPLMAINTCONSISTSTOCK_LBL_SIM</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maint. Mode Consists/Stock</source>
        <comment>EXPLMAINTCONSISTSTOCK_LBL_MAINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Consists</source>
        <comment>EXPLMAINTCONSISTSTOCK_LBL_MAINT_CONS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Stock</source>
        <comment>EXPLMAINTCONSISTSTOCK_LBL_MAINT_STOCK</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore Mode Paths</source>
        <comment>EXPLMAINTPATH_LBL_SIM</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Paths</source>
        <comment>EXPLMAINTPATH_LBL_MAINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Quarvel Scenario</source>
        <comment>OPEN_SCENARIO_TITLE_OPEN</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Default Quarvel Scenario</source>
        <comment>OPEN_SCENARIO_TITLE_CHOOSE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel is unable to autorun this Scenario&#13;because the MSTS executable path has not been set</source>
        <comment>MSTS_EXE_PATH_NOT_SET_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <comment>EDIT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List</source>
        <comment>LIST_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View All</source>
        <comment>VIEW_ALL_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <comment>WARNING_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <comment>ERROR_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Error/Warning</source>
        <comment>IN_ERROR_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved</source>
        <comment>SAVED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Using</source>
        <comment>USING_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Store</source>
        <comment>STORE_MENU_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore</source>
        <comment>UNSTORE_MENU_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate</source>
        <comment>ACTIVATE_MENU_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DeActivate</source>
        <comment>DEACTIVATE_MENU_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Immediate Unstore</source>
        <comment>LISTEDIT_POPUP_IMMEDIATE_UNSTORE_CAPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>|Unstore the selected item(s) now</source>
        <comment>LISTEDIT_POPUP_IMMEDIATE_UNSTORE_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>LISTEDIT_POPUP_IMMEDIATE_EDIT_CAPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>|Unstore the selected item and open in the chosen editor</source>
        <comment>LISTEDIT_POPUP_IMMEDIATE_EDIT_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start &amp;ConBuilder</source>
        <comment>LISTEDIT_POPUP_LOAD_CB_CAPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>|Unstore the selected item(s) and start ConBuilder</source>
        <comment>LISTEDIT_POPUP_LOAD_CB_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Lot Number</source>
        <comment>LISTEDIT_POPUP_EDIT_LOT_CAPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>|Change the Lot Number on the selected item(s)</source>
        <comment>LISTEDIT_POPUP_EDIT_LOT_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add to List</source>
        <comment>ADDREMOVE_ADD_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add the selected item(s)to the Current List|</source>
        <comment>ADDREMOVE_ADD_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove from List</source>
        <comment>ADDREMOVE_REMOVE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected item(s) from the Current List|</source>
        <comment>ADDREMOVE_REMOVE_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel is unable to launch Route Control because the&#13;Route Control executable path has not been set.&#13;&#13;</source>
        <comment>RC_EXE_PATH_NOT_SET_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to set the path for the Route Control executable now?</source>
        <comment>RC_EXE_PATH_NOT_SET_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING: The files for the Route which was contained in the Route Control Route folder have been&#13;swapped out by Route Control, but there are still files for the Route stored in the Quarvel&#13;storage folders.&#13;&#13;</source>
        <comment>ROUTE_CONTROL_WARNING1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel cannot determine which Route had been stored in the Route Control folder.&#13;You need to find that out, and then swap that Route back in from Route Control.&#13;</source>
        <comment>ROUTE_CONTROL_WARNING11</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must then Unstore the Route using the Prepare function in Maintenance mode in Quarvel.&#13;It will then be safe to packup and swap out the Route with Route Control.&#13;&#13;</source>
        <comment>ROUTE_CONTROL_WARNING12</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not use Route Control for any other purpose until you have resolved this problem.</source>
        <comment>ROUTE_CONTROL_WARNING13</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ERROR: The Route &apos;</source>
        <comment>ROUTE_CONTROL_ERROR2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; which is in the Route Control Route folder has some files stored by Quarvel.&#13;&#13;It is NOT safe to Run Route Control in this situation.&#13;&#13;Before running Route Control, Unstore the Route using the Prepare function in Quarvel Maintenance mode.</source>
        <comment>ROUTE_CONTROL_ERROR3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the TSECTION.DAT file on your computer that you want to use for</source>
        <comment>TSECTION_SET_LEG1_START</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the system default. Leave this blank if you do not want Quarvel to change the TSECTION.DAT file used.</source>
        <comment>TSECTION_SET_LEG1_DEFAULT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this Route. Leave this blank if you want Quarvel to use the system default TSECTION.DAT file specification for this Route.</source>
        <comment>TSECTION_SET_LEG1_ROUTE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This specification will be followed when</source>
        <comment>TSECTION_SET_LEG2_START</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Everything Unstored! is used, or when there is no TSECTION.DAT specification for a particular Route being unstored.</source>
        <comment>TSECTION_SET_LEG2_DEFAULT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route is unstored.</source>
        <comment>TSECTION_SET_LEG2_ROUTE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use any TSECTION.DAT file&#13;&#10;Use this  specific File&#13;&#10;Use any TSECTION.DATfile with this Build No. or a higher one</source>
        <comment>TSECTION_ACTION_STRINGS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You cannot specify this file as the TSECTION.DAT file to be used&#13;</source>
        <comment>TSECTION_TARGET_ERROR1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>because this is the target location to which the file will be unstored.</source>
        <comment>TSECTION_TARGET_ERROR2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>because this is the TSECTION.DAT file for dynamic track belonging to a Route.</source>
        <comment>TSECTION_TARGET_ERROR3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A TSECTION.DAT file has been specified.&#13;&#13;You cannot specify &apos;use any TSECTION.DAT file&apos; when unstoring in Maintenance Mode.</source>
        <comment>TSECTION_MAINTENANCE_ERROR</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file specified is not a valid TSECTION.DAT file.</source>
        <comment>TSECTION_INVALID_FILE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before you can specify TSECTION.DAT information for a Route,&#13;you must specify the system default TSECTION.DAT information.&#13;&#13;(See Tools/Options/TSECTION.DAT Default Settings)</source>
        <comment>TSECTION_NO_DEFAULT_ERROR1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before you can remove the system default TSECTION.DAT information,&#13;you must remove any TSECTION.DAT information which has been specified&#13;for the following individual Routes :-&#13;&#13;</source>
        <comment>TSECTION_NO_DEFAULT_ERROR2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The system default TSECTION.DAT file that was specified&#13;(</source>
        <comment>TSECTION_DEFAULT_ERROR_3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The TSECTION.DAT file that was specified for the Route &apos;</source>
        <comment>TSECTION_SPECIFIC_ERROR_1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;&#13;(</source>
        <comment>TSECTION_SPECIFIC_ERROR_2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>)&#13;cannot be found.&#13;&#13; You must correct this error before continuing.</source>
        <comment>TSECTION_MISSING_ERROR_1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chosen TSECTION.DAT File:&#13;</source>
        <comment>TSECTION_CHOSEN_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error in moving the TSECTION.DAT file&#13;(</source>
        <comment>TSECTION_MOVE_ERROR1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>)&#13;   to&#13;(</source>
        <comment>TSECTION_MOVE_ERROR2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is a conflict between the TSECTION.DAT specifications for the Routes which you are attempting to unstore. Only 1 TSECTION.DAT file can be active in MSTS.</source>
        <comment>TSECTION_CONFLICT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Routes now selected have compatible TSECTION.DAT specifications. The TSECTION.DAT file which will be used is indicated below.</source>
        <comment>TSECTION_NO_CONFLICT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reminder:To make this function fully operational&#13;you now need to specify the TSECTION.DAT file to use &#13;for those routes where the default setting is not appropriate.</source>
        <comment>TSECTION_REMINDER_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Locos&#13;&#10;Explore Mode Locos&#13;&#10;Route Expl. Mode Locos&#13;&#10;Used in Route Locos</source>
        <comment>ALL_LOCOMOTIVES_ACTION_STRINGS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the Locomotives to list: all of them, those in the active Explore Mode Consist lists,&#13;those in this Route&apos;s own Explore Mode Consist lists, or those used by this Route&apos;s Activities|</source>
        <comment>ALL_LOCOMOTIVES_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder:</source>
        <comment>FOLDER_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File:</source>
        <comment>FILE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRAINSET Folders</source>
        <comment>TRAINSET_FOLDERS_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRAINSET Alias Target Folders</source>
        <comment>TRAINSET_ALIASES_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show &amp;Alias Folders</source>
        <comment>SHOW_SUGGESTED_ALIASES_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Trainset Folders</source>
        <comment>SHOW_TRAINSET_FOLDERS_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected</source>
        <comment>TRAINSET_FOLDERS_SELECTED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current List</source>
        <comment>CURRENT_AVAILABLE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consists Available</source>
        <comment>CONSISTS_AVAILABLE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consists Selected</source>
        <comment>CONSISTS_SELECTED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stock Items Available</source>
        <comment>STOCK_AVAILABLE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>out of</source>
        <comment>OUT_OF_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stock Items Selected</source>
        <comment>STOCK_SELECTED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paths Available</source>
        <comment>PATHS_AVAILABLE_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paths Selected</source>
        <comment>PATHS_SELECTED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where Used Report</source>
        <comment>WHERE_USED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unused Items Report</source>
        <comment>WHERE_USED_UNUSED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no unused items</source>
        <comment>WHERE_USED_NO_UNUSED_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Locomotive Name</source>
        <comment>LOCOMOTIVE_NAME_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No CabView</source>
        <comment>NO_CABVIEW_TAG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Routes, Activities &amp;&amp; Consists</source>
        <comment>TREE_PANEL_SIM_LABEL</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Routes, Activities, Consists &amp;&amp; Stock</source>
        <comment>TREE_PANEL_MAINT_LABEL</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global Setting</source>
        <comment>TYPE_GLOBAL_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route</source>
        <comment>TYPE_ROUTE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activity</source>
        <comment>TYPE_ACTIVITY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service</source>
        <comment>TYPE_SERVICE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore Mode Consist</source>
        <comment>TYPE_EXPLORE_MODE_CONSIST_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Heading</source>
        <comment>TYPE_HEADING_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consist</source>
        <comment>TYPE_CONSIST_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Consist</source>
        <comment>TYPE_MAINTENANCE_CONSIST_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stock Item</source>
        <comment>TYPE_STOCK_ITEM_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Stock</source>
        <comment>TYPE_MAINTENANCE_STOCK_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path</source>
        <comment>TYPE_PATH_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore Mode Path</source>
        <comment>TYPE_EXPLORE_MODE_PATH_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Path</source>
        <comment>TYPE_MAINTENANCE_PATH_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Engine</source>
        <comment>TYPE_ENGINE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tender</source>
        <comment>TYPE_TENDER_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passenger</source>
        <comment>TYPE_CARRIAGE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freight</source>
        <comment>TYPE_FREIGHT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Steam</source>
        <comment>TYPE_STEAM_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diesel</source>
        <comment>TYPE_DIESEL_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Electric</source>
        <comment>TYPE_ELECTRIC_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI Loco.</source>
        <comment>TYPE_AI_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Driveable</source>
        <comment>TYPE_DRIVEABLE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light Engine</source>
        <comment>TYPE_LIGHT_ENGINE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown</source>
        <comment>TYPE_UNKNOWN_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activities</source>
        <comment>TREE_HEADING_ACTIVITIES</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global Settings</source>
        <comment>TREE_HEADING_GLOBAL</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Routes</source>
        <comment>TREE_HEADING_ROUTES</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore Mode Paths</source>
        <comment>TREE_HEADING_EXPPATH</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Paths</source>
        <comment>TREE_HEADING_MAINTPATH</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore Mode Consists</source>
        <comment>TREE_HEADING_EXPCON</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Consists</source>
        <comment>TREE_HEADING_MAINTCON</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode Stock</source>
        <comment>TREE_HEADING_MAINTSTK</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consists</source>
        <comment>TREE_HEADING_CONSISTS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consist Details</source>
        <comment>TREE_HEADING_CONSIST_DETAILS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Services</source>
        <comment>TREE_HEADING_SERVICES</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Player Service</source>
        <comment>TREE_HEADING_PLAYER_SERVICE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Pattern</source>
        <comment>TREE_HEADING_SERVICE_PATTERN</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Details</source>
        <comment>TREE_HEADING_SERVICE_DETAILS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path</source>
        <comment>TREE_HEADING_PATH</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paths</source>
        <comment>TREE_HEADING_PATHS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loose Stock</source>
        <comment>TREE_HEADING_LOOSE_STOCK</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stock Items</source>
        <comment>TREE_HEADING_STOCK_ITEMS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Engines</source>
        <comment>TREE_HEADING_ENGINES</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wagons</source>
        <comment>TREE_HEADING_WAGONS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total</source>
        <comment>TREE_HEADING_TOTAL</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Totals</source>
        <comment>TREE_HEADING_TOTALS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel Statistics</source>
        <comment>TREE_HEADING_STATISTICS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Use</source>
        <comment>TREE_HEADING_IN_USE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Store</source>
        <comment>TREE_HEADING_IN_STORE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>TREE_HEADING_FOLDER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Name</source>
        <comment>TREE_HEADING_FILE_NAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route ID</source>
        <comment>TREE_HEADING_ROUTE_ID</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <comment>TREE_HEADING_DESCRIPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Briefing</source>
        <comment>TREE_HEADING_BRIEFING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Traffic</source>
        <comment>TREE_HEADING_TRAFFIC</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contents</source>
        <comment>TREE_HEADING_CONTENTS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alias Folders Used</source>
        <comment>TREE_HEADING_ALIASES</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <comment>TREE_HEADING_TYPE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lot Number</source>
        <comment>TREE_HEADING_LOT_NUMBER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TSECTION.DAT</source>
        <comment>TREE_HEADING_TSECTION_NAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specified</source>
        <comment>TREE_HEADING_TSECTION_SPECIFIED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Default</source>
        <comment>TREE_HEADING_TSECTION_DEFAULT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Build</source>
        <comment>TREE_HEADING_TSECTION_BUILD</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action When Unstoring</source>
        <comment>TREE_HEADING_TSECTION_ACTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Simulation Mode</source>
        <comment>TREE_HEADING_TSECTION_ACTION_SIMULATION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance Mode</source>
        <comment>TREE_HEADING_TSECTION_ACTION_MAINTENANCE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Used</source>
        <comment>TREE_HEADING_NOT_USED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analysis of Error Items</source>
        <comment>TREE_HEADING_ERROR_ANALYSIS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From</source>
        <comment>TREE_HEADING_FROM</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To</source>
        <comment>TREE_HEADING_TO</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Details</source>
        <comment>TREE_HEADING_DETAILS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <comment>TREE_HEADING_FILE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleting Tree item</source>
        <comment>STATUS_TEXT_DEL_TREE_ITEM</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Tree item</source>
        <comment>STATUS_TEXT_LOAD_TREE_ITEM</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Counting in</source>
        <comment>STATUS_TEXT_COUNTING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking</source>
        <comment>STATUS_TEXT_CHECKING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleting file</source>
        <comment>STATUS_TEXT_DELETING_FILE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleting/Moving file</source>
        <comment>STATUS_TEXT_DELETING_MOVING_FILE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving/Deleting file</source>
        <comment>STATUS_TEXT_MOVING_DELETING_FILE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving file to</source>
        <comment>STATUS_TEXT_MOVING_FILE_TO</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Building File List </source>
        <comment>STATUS_TEXT_BUILDING_FILE_LIST</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading</source>
        <comment>STATUS_TEXT_LOADING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Activity</source>
        <comment>STATUS_TEXT_LOADING_ACTIVITY</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Route</source>
        <comment>STATUS_TEXT_LOADING_ROUTE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Path</source>
        <comment>STATUS_TEXT_LOADING_PATH</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Consist</source>
        <comment>STATUS_TEXT_LOADING_CONSIST</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Stock</source>
        <comment>STATUS_TEXT_LOADING_STOCK</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Cabview</source>
        <comment>STATUS_TEXT_LOADING_CABVIEW</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Sound</source>
        <comment>STATUS_TEXT_LOADING_SOUND</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Service</source>
        <comment>STATUS_TEXT_LOADING_SERVICE</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found Stock</source>
        <comment>STATUS_TEXT_FOUND_STOCK</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving</source>
        <comment>STATUS_TEXT_SAVING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving Global Setting</source>
        <comment>STATUS_TEXT_SAVING_GLOBAL_SETTING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searching</source>
        <comment>STATUS_TEXT_SEARCHING</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed</source>
        <comment>CAPTION_TEXT_CHANGED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Everything Unstored</source>
        <comment>CAPTION_TEXT_EVERYTHING_UNSTORED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Synchronised</source>
        <comment>CAPTION_TEXT_SYNCHRONISED</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <comment>CAPTION_TEXT_NEW</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Default Routes</source>
        <comment>MSTS_DEFAULT_ROUTES</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <comment>ERROR_FILE_NOT_FOUND_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified path was not found.</source>
        <comment>ERROR_PATH_NOT_FOUND_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The .exe file is invalid (non-Win32® .exe or error in .exe image).</source>
        <comment>ERROR_BAD_FORMAT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The operating system denied access to the specified file. </source>
        <comment>SE_ERR_ACCESSDENIED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file name association is incomplete or invalid.</source>
        <comment>SE_ERR_ASSOCINCOMPLETE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The DDE transaction could not be completed because other DDE transactions were being processed.</source>
        <comment>SE_ERR_DDEBUSY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <comment>SE_ERR_DDEFAIL_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The DDE transaction could not be completed because the request timed out.</source>
        <comment>SE_ERR_DDETIMEOUT_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found. </source>
        <comment>SE_ERR_DLLNOTFOUND_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no application associated with the given file name extension. This error will also be returned if you attempt to print a file that is not printable.</source>
        <comment>SE_ERR_NOASSOC_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <comment>SE_ERR_OOM_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A sharing violation occurred.</source>
        <comment>SE_ERR_SHARE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set the</source>
        <comment>GEN_PROG_CAPTION1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch Parameters</source>
        <comment>GEN_PROG_CAPTION2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the full path to the</source>
        <comment>GEN_PROG_PATH_HINT1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>program (Click on the folder icon to open a dialog to navigate to the file)|</source>
        <comment>GEN_PROG_PATH_HINT2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter any additional command line parameters used to start the</source>
        <comment>GEN_PROG_PARAM_HINT1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>program|</source>
        <comment>GEN_PROG_PARAM_HINT2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the</source>
        <comment>GEN_PROG_OPEN_TITLE1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch Executable</source>
        <comment>GEN_PROG_OPEN_TITLE2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS (TRAIN.EXE)</source>
        <comment>MSTS_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the MSTS program on your computer, and any command line parameters used to launch MSTS.</source>
        <comment>MSTS_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ConBuilder (ConBuilder.EXE)</source>
        <comment>CB_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the ConBuilder program on your computer.</source>
        <comment>CB_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Editor</source>
        <comment>EDITOR_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the Editor program on your computer that you want to use to edit MSTS files, and any command line parameters used to launch the Editor.</source>
        <comment>EDITOR_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route Control</source>
        <comment>RC_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the Route Control program on your computer, and any command line parameters used to launch Route Control.</source>
        <comment>RC_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route_Riter (Route_Riter.EXE)</source>
        <comment>RR_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the Route_Riter program on your computer.</source>
        <comment>RR_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RailDriver (RDMgr.EXE)</source>
        <comment>RD_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the RailDriver program on your computer.</source>
        <comment>RD_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SVIEW (SVIEW.EXE)</source>
        <comment>SVIEW_PARAMS_PROGNAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the location of the MSTS Shape Viewer program on your computer.</source>
        <comment>SVIEW_PARAMS_DESC_TEXT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel has found the following folders some of which&#13;may have been created by System Restore.&#13;&#13;</source>
        <comment>RESTORE_FOLDERS_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&#13;Quarvel cannot continue until these folders have&#13;been investigated and either removed or renamed.</source>
        <comment>RESTORE_FOLDERS_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel cannot find the MSTS application window.</source>
        <comment>WAIT_ACTION_ERR_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spring&#13;&#10;Summer&#13;&#10;Autumn&#13;&#10;Winter</source>
        <comment>SEASONS_LEG_STRINGS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear&#13;&#10;Snow&#13;&#10;Rain</source>
        <comment>WEATHER_LEG_STRINGS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Easy&#13;&#10;Medium&#13;&#10;Hard</source>
        <comment>DIFFICULTY_STRINGS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QUARVEL EXPLORE</source>
        <comment>EXPLORE_ACTIVITY_NAME</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transient Quarvel Explore Activity</source>
        <comment>EXPLORE_ACTIVITY_DESCRIPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is a Transient Quarvel Explore Activity which allows you to explore the route with the Loose Consists and AI Traffic that you have chosen.&#13;&#13;PLEASE NOTE:&#13;Because of MSTS limitations :-&#13;1.After exiting from the Activity for any reason you cannot restart it by selecting it from the MSTS menu (IF YOU DO THIS MSTS WILL CRASH).&#13;2.This exploration can only be restarted from a saved version by exiting from MSTS and then restarting MSTS using the Quarvel &apos;Reload saved QUARVEL EXPLORE&apos; facility. When MSTS has restarted, choose LOAD SAVED ACTIVITY and then choose </source>
        <comment>EXPLORE_ACTIVITY_BRIEFING1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3.AI traffic may or may not behave as expected in a normal activity.&#13;&#13;For further details see the Quarvel manual.</source>
        <comment>EXPLORE_ACTIVITY_BRIEFING2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Error&#13;&#13;</source>
        <comment>EXPLORE_ACTIVITY_CREATE_ERR</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Additionally from the Activity :-&#13;&#10;Reload saved QUARVEL EXPLORE</source>
        <comment>EXPLORE_LOAD_STRINGS</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reminder:&#13;This process is reloading a saved Explore session&#13;&#13;Load Saved Activity &apos;</source>
        <comment>EXPLORE_LOAD_REMINDER</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is a discrepancy in the specification of at least one Traffic Service</source>
        <comment>TRAFFIC_DISCREPANCY_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The definition of the locomotive in the Consist file is different to the specification in the Engine parameter in the locomotive file</source>
        <comment>DIFFERENT_CON_ENGINE_PARAM_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following file contains a &apos;</source>
        <comment>DIFFERENT_PARAM_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos; parameter that is different to the file name&#13;</source>
        <comment>DIFFERENT_PARAM_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(They should be identical)&#13;</source>
        <comment>SHOULD_BE_IDENTICAL_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This will cause MSTS errors when reloading a saved Activity</source>
        <comment>RELOAD_ERROR_NOTIFY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This will cause MSTS errors when starting an Activity</source>
        <comment>LOAD_ERROR_NOTIFY_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>or starting an Explore</source>
        <comment>LOAD_ERROR_NOTIFY_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This will stop the Consist from appearing in the MSTS Explore selection list</source>
        <comment>LOAD_CON_ERROR_NOTIFY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This will cause AI Traffic to be missing when starting or reloading an Activity</source>
        <comment>LOAD_AI_PATH_ERROR_NOTIFY_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Player Path&#13;</source>
        <comment>INVALID_PLAYER_PATH</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New List</source>
        <comment>NEW_LIST_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Original List</source>
        <comment>ORIGINAL_LIST_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activated</source>
        <comment>ACTIVATED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DeActivated</source>
        <comment>DEACTIVATED_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit List Name</source>
        <comment>LIST_NAME_EDIT_CAPTION</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change the Name of the Current list|</source>
        <comment>LIST_NAME_EDIT_HINT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the new name for the Current List&#13;&#13;(This name will only be visible when multiple lists are in use)&#13;</source>
        <comment>LIST_NAME_EDIT_PROMPT</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Multiple Consist lists are in operation for this Route&#13;(or for Global Settings)&#13;&#13;Multiple lists can only be edited using Quarvel Classic</source>
        <comment>EASY_EDITLIST_MULTIPLE_LIST_ERROR</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failure in operation with TRAINLIB.OCX.&#13;&#13;If this problem occurs when starting the viewer, make sure&#13;that you have installed the latest version of SVIEW.</source>
        <comment>SVIEW_INCOMPATIBLE_LEG</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Viewer keys:&#13;&#13;Left / Right: previous / next vehicle (with Shift: first / last)&#13;Home: middle of the consist&#13;Numpad + / -: move closer / further away&#13;R: view the other side&#13;</source>
        <comment>VIEWER_HELP_LEG1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A: one animation step (Alt+A: about the 3-D control)&#13;Ctrl+P: switch perspective / flat projection&#13;Insert / Delete: brighter / darker light&#13;Shift+Z: show or hide frames per second&#13;</source>
        <comment>VIEWER_HELP_LEG1A</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F6: display options (Ctrl+F6: next window, Shift+F6: previous window)&#13;F8: background colour&#13;F11: screenshot into the screenshot folder&#13;F12: full screen width on / off&#13;</source>
        <comment>VIEWER_HELP_LEG2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+S: save these viewer settings (Ctrl+Shift+S: back to the defaults)&#13;Close or minimise with Shift held: all viewer windows&#13;F1: show / hide this help   Esc: close the window</source>
        <comment>VIEWER_HELP_LEG3</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CanvasOptionsDialog</name>
    <message>
        <source>3-D Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Textures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wireframe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide back faces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileMove</name>
    <message>
        <source>The folder &apos;%1&apos; is a link to &apos;%2&apos;, outside the MSTS folder and the store: what it holds stays where it is</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; stays where it is: its name is not UTF-8 text (shown with the bytes that are not as Windows-1252 reads them), and cannot be moved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; stays where it is: MSTS cannot tell its name from<byte value="xd"/>File: &apos;%2&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; stays where it is: MSTS cannot tell its folder from<byte value="xd"/>Folder: &apos;%2&apos;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileSystem</name>
    <message>
        <source>Not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Two names in the folder differ only in letter case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No such drive</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LaunchProgram</name>
    <message>
        <source>MSTS may still be starting. Wait until it has ended before its Explore files are removed?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Leftovers</name>
    <message>
        <source>A file left by a move, copy or write that was cut short could not be settled : [%1]<byte value="xd"/>File: &apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A temporary file of a copy or write that was cut short was removed: &apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file kept aside by a move that was cut short is back in its place: &apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file kept aside by a move that was cut short was removed, as its place is filled: &apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file this program did not make, or whose place it cannot tell, was left as it is: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file kept aside by a move that was cut short, its name since changed, was left as it is, as its place is filled: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Manual</name>
    <message>
        <source>The manual &apos;%1&apos; cannot be shown:<byte value="xd"/>no program to open PDF files was found.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>%1 more file names not found or invalid are not listed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScenarioDialogs</name>
    <message>
        <source>Quarvel Scenario files (*.QVS)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Quarvel Scenario</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StartupConfiguration</name>
    <message>
        <source><byte value="xd"/><byte value="xd"/>In the next window, choose the folder in which MSTS is installed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StoreFiles</name>
    <message>
        <source><byte value="xd"/>It could not be kept aside and stays as it is</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>Kept as: &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>The link &apos;%1&apos; leads to &apos;%2&apos;, outside the MSTS folder and the store</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Survey</name>
    <message>
        <source>The folder &apos;%1&apos; stays where it is: MSTS cannot tell its name from<byte value="xd"/>Folder: &apos;%2&apos;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Quarvel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Easy Quarvel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run an Activity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Locomotive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Heading towards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Season</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weather</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Difficulty Level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start RD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore the Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loose Stock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI Traffic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HH:mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Explore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Classic Quarvel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Explore Mode Consists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Explore Mode Paths</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch MSTS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Partial Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+ Def. Routes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+ All Consists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+ All Stock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EveryThing!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch MSTS Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prepare</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prepare for maintenance before you edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Routes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Activities</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Consists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;tock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paths</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;ools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R&amp;eports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch &amp;Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;rint Setup ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;Text As ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset &amp;Pane Widths</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Store Selected Route(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Unstore Selected Route(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore This Route Only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;TSECTION.DAT Settings ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Store Selected Activity(ies)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Unstore Selected Activity(ies)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore This Activity Only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Explore Mode Consist List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Maintenance Mode Consist List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New Consist List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Activate List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;DeActivate List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate &amp;This List Only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Where Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in &amp;Viewer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View All &amp;Consists ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Maintenance Mode Stock List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New Stock List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View All &amp;Stock Items ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Explore Mode Path List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit &amp;Maintenance Mode Path List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New Path List ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View All &amp;Paths ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore &amp;Everything!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where Used (Complete)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unused Items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where Used (no unused items)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check A&amp;ttributes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rebuild Cache Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start &amp;ConBuilder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Route_&amp;Riter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel Storage &amp;Folder ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MSTS Folder ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fixed &amp;Objects ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Default &amp;TSECTION.DAT Settings ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List &amp;Highlighting Font ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MSTS ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Route Control ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Editor ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;ConBuilder ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route_&amp;Riter ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rail&amp;Driver ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;SVIEW ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xpand Routes List when Created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View Objects by File Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start with &amp;Blank Routes Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use &amp;Default Scenario</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Always Show Scenario Save &amp;Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Strict .SMS Checking</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Confirm Completion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress Move &amp;Error Dialogue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;uppress Activity Saved Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress Mainte&amp;nance Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return to Quarvel &amp;after MSTS launch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress &apos;Where Used&apos; Analysis of Errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress Warning Messages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress Error/Warning Highlighting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show All &amp;Consists on the Easy Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress MSTS Launc&amp;h</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress Background &amp;Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use S&amp;VIEW as Viewer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Viewer Screens&amp;hot Folder ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel &amp;Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Uninstall Quarvel ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unstore Everything</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TextDialogs</name>
    <message>
        <source>Text Document (*.TXT *.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rich Text Format (*.RTF *.rtf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Selected Text to File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Uninstall</name>
    <message>
        <source>Quarvel&apos;s settings have been removed.<byte value="xd"/>Remove the program itself with your system&apos;s package tools.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Viewer</name>
    <message>
        <source>its most detailed level holds %1 triangles, more than the viewer shows (%2 at most)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the shape is too large to load</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; could not be created: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TAboutBoxDlg</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A program to store Routes and Activities efficiently so that MSTS does not read redundant information on startup.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Folder:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage Folder:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active TSECTION.DAT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1
(Build %2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TConfirmFileMoveDlg</name>
    <message>
        <source>Confirm Duplicate File Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kee&amp;p All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TEditConsistListsDlg</name>
    <message>
        <source>Consist Filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light Engine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passenger</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freight</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Steam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diesel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Electric</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consist Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Locomotive Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lot Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Used in Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consist Details</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TEditPathListsDlg</name>
    <message>
        <source>Path Filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path Details</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TEditStockListsDlg</name>
    <message>
        <source>Stock Filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Engines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tenders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Carriages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freight</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Steam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diesel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Electric</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stock Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lot Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Used in Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stock Item Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh the Available Stock List</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TFolderSelectDlg</name>
    <message>
        <source>Select Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TGenericProgParamsBoxDlg</name>
    <message>
        <source>Path: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameters: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application Files (*.EXE *.exe)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shortcut Files (*.LNK *.lnk)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TItemRightClickForm</name>
    <message>
        <source>Change Lot Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Lot Number to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TListEditorDlg</name>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Where Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Driveable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply Filter</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TPathSelectDlg</name>
    <message>
        <source>Storage Path Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TSearchParamsBoxDlg</name>
    <message>
        <source>Find Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text to find:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the text to search for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whole words only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Also search Information pane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TSetFixedDlg</name>
    <message>
        <source>Select Fixed Objects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Fi&amp;xed Objects List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add F&amp;older</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add F&amp;ile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suggested &amp;Aliases</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel - Select Files to Exclude</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Engine Files (*.eng)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Wagon files (*.wag)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Consist Files (*.con)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MSTS Activity Files (*.act)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TSplashForm</name>
    <message>
        <source>Version %1 (Build %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TTSECTIONChoiceBoxDlg</name>
    <message>
        <source>Resolve Conflicting TSECTION.DAT Specifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deselect one or more of the conflicting (*) Routes until no more conflicts remain.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ReSort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::TTSECTIONParamsBoxDlg</name>
    <message>
        <source>Enter the full path to the TSECTION.DAT file that you want to use. (Click on the folder icon to open a dialog to navigate to the file)|</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter any description that you want Quarvel to display for this file.|</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the action to take when unstoring in Simulation mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the action to take when unstoring in Maintenance mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TSECTION.DAT Parameters </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action when Unstoring ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in Simulation Mode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in Maintenance  Mode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose TSECTION.DAT File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TSECTION Files (TSECTION*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DAT Files (*.DAT)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>qv::ViewerCanvas</name>
    <message>
        <source>%1 fps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OpenGL cannot be started on this display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OpenGL 2.0 with the fixed-function pipeline is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no picture or no file name to save it to.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every screenshot number of &quot;%1&quot; is taken.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The screenshot &quot;%1&quot; could not be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarvel 3-D canvas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OpenGL has not drawn yet. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OpenGL vendor: %1<byte value="xd"/>OpenGL renderer: %2<byte value="xd"/>OpenGL version: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutsideTools</name>
    <message>
        <source>These programs could not be found: %1.<byte value="xd"/><byte value="xd"/>The paths registered for them grow longer than %2 characters when their variables are replaced. Set their paths in the launch settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
