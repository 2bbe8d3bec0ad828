#pragma once
// Named ids of the program's string table (resources/lang/*.txt). Every
// visible text is looked up by one of these through a StringSource; the
// language module carries the same ids. The list macro lets tests walk
// every id.
namespace velmora::ids {

// X(name, id)
#define VELMORA_STRING_IDS(X)                                                              \
    /* Main window: tabs, panel, status */                                                  \
    X(kTabDay, 40001)                                                                       \
    X(kTabWeek, 40002)                                                                      \
    X(kTabMonth, 40003)                                                                     \
    X(kTabComments, 40004)                                                                  \
    /* Pouch data */                                                                        \
    X(kPouchNoChanges, 40005)                                                               \
    X(kPouchDataNotFound, 40006)                                                            \
    X(kWrongCredentials, 40007)                                                             \
    X(kUserManagementMenu, 40008)                                                           \
    X(kAddAlarmTitle, 40009)                                                                \
    X(kAlarmTitle, 40010)                                                                   \
    X(kCaptionError, 40011)                                                                 \
    X(kCreateOrChooseUser, 40012)                                                           \
    X(kDeleteAlarm, 40013)                                                                  \
    X(kSelectActionTitle, 40014)                                                            \
    X(kConfirmDeleteAlarm, 40015)                                                           \
    X(kConfirmEditPouchAlarm, 40016)                                                        \
    X(kEditAlarmTitle, 40017)                                                               \
    /* Reminder flows */                                                                    \
    X(kBatteryLow, 40018)                                                                   \
    X(kReminderConnected, 40019)                                                            \
    X(kReminderNotConnected, 40020)                                                         \
    X(kReadFailed, 40021)                                                                   \
    X(kCaptionQuestion, 40022)                                                              \
    X(kNeedsProgramming, 40023)                                                             \
    X(kNoProgrammingNeeded, 40024)                                                          \
    /* Alarm dialog validation */                                                           \
    X(kStartInvalid, 40025)                                                                 \
    X(kAlarmInPast, 40026)                                                                  \
    X(kEndInvalid, 40027)                                                                   \
    X(kEndBeforeStart, 40028)                                                               \
    X(kPouchAlarmTitle, 40029)                                                              \
    X(kProgrammingFailed, 40030)                                                            \
    /* Status words */                                                                      \
    X(kStatusNotAlarmed, 40031)                                                             \
    X(kStatusAcknowledged, 40032)                                                           \
    X(kStatusAcknowledgedLate, 40033)                                                       \
    X(kStatusForgotten, 40034)                                                              \
    X(kEnterNameAndSsn, 40035)                                                              \
    X(kOfferSpare, 40036)                                                                   \
    X(kDeleteFailed, 40037)                                                                 \
    X(kCheckDateAndTime, 40038)                                                             \
    X(kSpareDone, 40039)                                                                    \
    X(kReportName, 40040)                                                                   \
    X(kSpareFailed, 40041)                                                                  \
    X(kConfirmEmptyReminder, 40042)                                                         \
    X(kReportProgrammingTime, 40043)                                                        \
    X(kReminderEmptied, 40044)                                                              \
    X(kEmptyingFailed, 40045)                                                               \
    X(kUserReminderProgrammed, 40046)                                                       \
    X(kReminderProgrammed, 40047)                                                           \
    X(kNoUserName, 40048)                                                                   \
    X(kProgrammedElsewhere, 40049)                                                          \
    X(kStoreAcknowledgementsFor, 40050)                                                     \
    X(kProgrammingReportAlarms, 40051)                                                      \
    X(kProgrammingReportLastAlarm, 40052)                                                   \
    X(kFetchingPouchDataOf, 40053)                                                          \
    X(kUsersUpdated, 40054)                                                                 \
    X(kServiceNotInUse, 40055)                                                              \
    X(kRepeatEveryOtherWeek, 40056)                                                         \
    /* Editions */                                                                          \
    X(kTitleWithVersionMdd, 40057)                                                          \
    X(kTitleWithVersionVelmora, 40058)                                                      \
    X(kTitleWithVersionReader, 40059)                                                       \
    X(kAboutTitle, 40060)                                                                   \
    X(kCancel, 40061)                                                                       \
    X(kOk, 40062)                                                                           \
    /* Alarm dialog */                                                                      \
    X(kStartTime, 40063)                                                                    \
    X(kEndTime, 40064)                                                                      \
    X(kUntilFurtherNotice, 40065)                                                           \
    X(kRepeat, 40066)                                                                       \
    X(kDescription, 40067)                                                                  \
    X(kRepeatSingle, 40068)                                                                 \
    X(kRepeatDaily, 40069)                                                                  \
    X(kRepeatEveryOtherDay, 40070)                                                          \
    X(kRepeatEveryThirdDay, 40071)                                                          \
    X(kRepeatEveryFourthDay, 40072)                                                         \
    X(kRepeatEveryFifthDay, 40073)                                                          \
    X(kRepeatWeekly, 40074)                                                                 \
    /* History dialog */                                                                    \
    X(kHistoryTotal, 40075)                                                                 \
    X(kHistoryAcknowledged, 40076)                                                          \
    X(kHistoryForgotten, 40077)                                                             \
    X(kHistoryAcknowledgedLate, 40078)                                                      \
    X(kHistoryTotalsFrame, 40079)                                                           \
    X(kHistoryTitle, 40080)                                                                 \
    /* Account */                                                                           \
    X(kAccountTitle, 40081)                                                                 \
    X(kUserNameLabel, 40082)                                                                \
    X(kPasswordLabel, 40083)                                                                \
    X(kEditionMdd, 40084)                                                                   \
    X(kEditionVelmora, 40085)                                                               \
    X(kEditionReader, 40086)                                                                \
    /* Main window panel */                                                                 \
    X(kNameLabel, 40087)                                                                    \
    X(kSsnLabel, 40088)                                                                     \
    X(kToday, 40089)                                                                        \
    X(kUserInfoFrame, 40090)                                                                \
    X(kLastProgrammedAlarm, 40091)                                                          \
    X(kProgramReminder, 40092)                                                              \
    X(kAboutDescription, 40093)                                                             \
    /* User management */                                                                   \
    X(kUserManagementTitle, 40094)                                                          \
    X(kClose, 40095)                                                                        \
    X(kChooseUserFrame, 40096)                                                              \
    X(kChooseUserButton, 40097)                                                             \
    X(kDeleteUser, 40098)                                                                   \
    X(kFetchNameFromService, 40099)                                                         \
    X(kCreateUser, 40100)                                                                   \
    /* Clock dialog */                                                                      \
    X(kProgram, 40101)                                                                      \
    X(kDateLabel, 40102)                                                                    \
    X(kTimeLabel, 40103)                                                                    \
    X(kProgramDlgTitle, 40104)                                                              \
    /* Report dialog */                                                                     \
    X(kShowAll, 40105)                                                                      \
    X(kShowNeedingProgramming, 40106)                                                       \
    X(kOpenAsTextFile, 40107)                                                               \
    X(kReportTitle, 40108)                                                                  \
    X(kAboutLinkText, 40109)                                                                \
    X(kAboutCopyright, 40110)                                                               \
    X(kUpdatingChanges, 40111)                                                              \
    /* Passwords */                                                                         \
    X(kChangePassword, 40112)                                                               \
    X(kCurrentPassword, 40113)                                                              \
    X(kNewPassword, 40114)                                                                  \
    X(kNewPasswordAgain, 40115)                                                             \
    X(kPasswordChanged, 40116)                                                              \
    X(kReportFileWriteFailed, 40117)                                                        \
    X(kTextViewerFailed, 40118)                                                             \
    X(kWrongPassword, 40119)                                                                \
    X(kOperationFailed, 40120)                                                              \
    X(kPersonNotFound, 40121)                                                               \
    X(kNewPasswordsDiffer, 40122)                                                           \
    X(kNoNewPouchAlarms, 40123)                                                             \
    X(kPouchDataInvalid, 40124)                                                             \
    X(kDatabaseOpenFailed, 40125)                                                           \
    X(kNoDisplay, 40126)                                                                    \
    X(kSaveFailed, 40127)                                                                   \
    X(kNothingToProgram, 40129)                                                             \
    X(kNoUserSelected, 40130)                                                               \
    X(kSerialNumberLabel, 40131)                                                            \
    X(kNoAlarms, 40132)                                                                     \
    X(kAlarmAndAckTimes, 40133)                                                             \
    X(kAlarmTime, 40134)                                                                    \
    X(kCaptionWarning, 40135)                                                               \
    X(kCaptionConfirmation, 40136)                                                          \
    X(kEnterPassword, 40137)                                                                \
    X(kForgotPassword, 40138)                                                               \
    X(kBatchProgramming, 40139)                                                             \
    X(kReminderWord, 40140)                                                                 \
    X(kBatteryLabel, 40141)                                                                 \
    /* Report table headings */                                                             \
    X(kReportLastAlarm, 40142)                                                              \
    X(kReportInReminder, 40143)                                                             \
    X(kReportSsn, 40144)                                                                    \
    X(kReportSsnSecondLine, 40145)                                                          \
    X(kPleaseWait, 40146)                                                                   \
    X(kUsersNotUpdated, 40147)                                                              \
    /* Pouch data summary */                                                                \
    X(kPouchName, 40148)                                                                    \
    X(kPouchStartDate, 40149)                                                               \
    X(kPouchEndDate, 40150)                                                                 \
    X(kPouchDoseCount, 40151)                                                               \
    X(kPouchDataCaption, 40152)                                                             \
    X(kLanguageCode, 40153)                                                                 \
    X(kConnectSpare, 40154)                                                                 \
    X(kUpdateInterrupted, 40155)                                                            \
    X(kBackupInProgress, 40156)                                                             \
    X(kConfirmDeleteUser, 40157)                                                            \
    X(kCheckPouchTimes, 40158)                                                              \
    /* Ownerless reminder */                                                                \
    X(kProgramWithoutUser, 40159)                                                           \
    X(kCreateOrChooseForReminder, 40160)                                                    \
    X(kNoUserForReminder, 40161)                                                            \
    X(kYes, 40162)                                                                          \
    X(kNo, 40163)                                                                           \
    X(kPhoneLabel, 40164)                                                                   \
    /* Backup */                                                                            \
    X(kBackupRestored, 40165)                                                               \
    X(kRestoreFailed, 40166)                                                                \
    X(kBackedUp, 40167)                                                                     \
    X(kNoNetwork, 40168)                                                                    \
    X(kPasswordPromptRemoved, 40169)                                                        \
    X(kBackupTooLarge, 40170)                                                               \
    X(kNotSignedIn, 40171)                                                                  \
    X(kSignedIn, 40172)                                                                     \
    X(kSignIn, 40173)                                                                       \
    X(kSignOut, 40174)                                                                      \
    X(kRegister, 40175)                                                                     \
    X(kSignInFirst, 40176)                                                                  \
    X(kCloseButton, 40177)                                                                  \
    X(kMakeBackup, 40178)                                                                   \
    X(kRestoreBackup, 40179)                                                                \
    X(kBackupTitle, 40180)                                                                  \
    X(kLatestBackup, 40181)                                                                 \
    X(kUserSaveFailed, 40182)                                                               \
    X(kPrintAlarmReport, 40183)                                                             \
    X(kSafetyInstructions, 40184)                                                           \
    X(kUserCreateFailed, 40185)                                                             \
    X(kReminderSerial, 40186)                                                               \
    /* Medication window choices, in list order */                                          \
    X(kWindow10Min, 40187)                                                                  \
    X(kWindow20Min, 40188)                                                                  \
    X(kWindow40Min, 40189)                                                                  \
    X(kWindow60Min, 40190)                                                                  \
    X(kWindow2h, 40191)                                                                     \
    X(kWindow3h, 40192)                                                                     \
    X(kWindow4h, 40193)                                                                     \
    X(kWindow5h, 40194)                                                                     \
    X(kWindow6h, 40195)                                                                     \
    X(kWindow12h, 40196)                                                                    \
    X(kProgrammingTypeLabel, 40197)                                                         \
    X(kTypeAlarmAtIntake, 40198)                                                            \
    X(kTypeAlarmIfForgotten, 40199)                                                         \
    X(kWindowLabel, 40200)                                                                  \
    X(kAlarmsTooClose, 40201)                                                               \
    X(kWindowDoesNotFit, 40202)                                                             \
    X(kTooltipAlarmAtIntake, 40203)                                                         \
    X(kTooltipAlarmIfForgotten, 40204)                                                      \
    X(kChooseUserEllipsis, 40205)                                                           \
    X(kConfirmClearCalendar, 40206)                                                         \
    X(kSpareIsOwnReminder, 40207)                                                           \
    X(kSpareOfOtherUser, 40208)                                                             \
    X(kLogNotStored, 40209)                                                                 \
    X(kConfirmClearUnstoredLog, 40210)                                                      \
    /* Messages that keep data from being lost without a word */                           \
    X(kUnstorableCharacters, 40300)                                                         \
    X(kDuplicateUser, 40301)                                                                \
    X(kDatabasePassedOver, 40302)                                                           \
    X(kDatabaseInUse, 40303)                                                                \
    X(kSearchUsers, 40304)                                                                  \
    /* Command line */                                                                      \
    X(kCommandLineHelp, 40350)                                                              \
    /* Backup */                                                                            \
    X(kBackupDatabaseUnreadable, 40330)                                                     \
    /* History analytics, chart, printing and export */                                     \
    X(kPrintEllipsis, 40370)                                                                \
    X(kSavePdf, 40371)                                                                      \
    X(kSaveCsv, 40372)                                                                      \
    X(kHistoryPeriod, 40373)                                                                \
    X(kPeriodLast30Days, 40374)                                                             \
    X(kPeriodLast90Days, 40375)                                                             \
    X(kPeriodAll, 40376)                                                                    \
    X(kHistoryListTab, 40377)                                                               \
    X(kAdherenceTab, 40378)                                                                 \
    X(kChronologyTab, 40379)                                                                \
    X(kDosesDue, 40380)                                                                     \
    X(kDosesTaken, 40381)                                                                   \
    X(kDosesOnTime, 40382)                                                                  \
    X(kDosesLate, 40383)                                                                    \
    X(kTakingAdherence, 40384)                                                              \
    X(kTimingAdherence, 40385)                                                              \
    X(kSlotAll, 40386)                                                                      \
    X(kSlotNight, 40387)                                                                    \
    X(kSlotMorning, 40388)                                                                  \
    X(kSlotAfternoon, 40389)                                                                \
    X(kSlotEvening, 40390)                                                                  \
    X(kLongestForgottenRun, 40391)                                                          \
    X(kDaysWithForgotten, 40392)                                                            \
    X(kMedianDelay, 40393)                                                                  \
    X(kPercentile90Delay, 40394)                                                            \
    X(kMinutesValue, 40395)                                                                 \
    X(kHistoryCsvHeader, 40396)                                                             \
    X(kUsersCsvHeader, 40397)                                                               \
    X(kFileNotWritten, 40398)                                                               \
    X(kExportFileTypes, 40399)                                                              \
    /* Pouch data from the service: fetch, name lookup, bulk update */                    \
    X(kIdentityCodeMissing, 40402)                                                          \
    X(kPouchReplyUserChanged, 40403)                                                        \
    X(kProgramPouchAlarmsNow, 40404)                                                        \
    X(kProgramTheseReminders, 40405)                                                        \
    X(kPouchNotStored, 40406)                                                               \
    X(kNoUsersWithIdentityCode, 40407)                                                      \
    X(kIdentityCodeChangedMeanwhile, 40408)                                                 \
    /* Reminder safety: another person's reminder, failure reasons, the spare */           \
    X(kOtherUsersReminder, 41250)                                                           \
    X(kReasonPulledOut, 41251)                                                              \
    X(kReasonTransferFailedAt, 41252)                                                       \
    X(kStepIdentify, 41253)                                                                 \
    X(kStepReadTable, 41254)                                                                \
    X(kStepReadLog, 41255)                                                                  \
    X(kStepClearTable, 41256)                                                               \
    X(kStepClearLog, 41257)                                                                 \
    X(kStepWriteTable, 41258)                                                               \
    X(kNextProgramAgain, 41259)                                                             \
    X(kNextEmptyAgain, 41260)                                                               \
    X(kNextReadAgain, 41261)                                                                \
    X(kNextSpareAgain, 41262)                                                               \
    X(kConnectSpareUnplugOwnFirst, 41263)                                                   \
    X(kConfirmEmptyUnstoredLog, 41264)                                                      \
    /* Why a service request failed; restore asks first; opening files and pages */         \
    X(kServiceUnreachable, 41400)                                                           \
    X(kServiceTimedOut, 41401)                                                              \
    X(kServiceBrokeOff, 41402)                                                              \
    X(kServiceNotSecure, 41403)                                                             \
    X(kServiceAddressInvalid, 41404)                                                        \
    X(kServiceReplyTooLarge, 41405)                                                         \
    X(kServiceRefused, 41406)                                                               \
    X(kServiceTransferFailed, 41407)                                                        \
    X(kNoBackupOnService, 41408)                                                            \
    X(kRestoreReplyNotDatabase, 41409)                                                      \
    X(kRestoreNotWritten, 41410)                                                            \
    X(kConfirmRestore, 41411)                                                               \
    X(kServiceNotReached, 41412)                                                            \
    X(kFileNotOpened, 41413)                                                                \
    X(kPageNotOpened, 41414)                                                                \
    /* Start-up: a database left alone, file rights, legacy import */                       \
    X(kDatabaseNewerVersion, 41100)                                                         \
    X(kDatabaseTableMismatch, 41101)                                                        \
    X(kDatabaseNotPrivate, 41102)                                                           \
    X(kLegacyFileNotRemovable, 41103)                                                       \
    X(kLegacyFileNotStored, 41104)                                                          \
    /* Calendar, history, report and panel: dose state, navigation, legend, lists */        \
    X(kAwaitingReadBack, 41450)                                                             \
    X(kPreviousDayTip, 41451)                                                               \
    X(kNextDayTip, 41452)                                                                   \
    X(kPreviousWeekTip, 41453)                                                              \
    X(kNextWeekTip, 41454)                                                                  \
    X(kMonthPageKeysTip, 41455)                                                             \
    X(kChartAckTick, 41456)                                                                 \
    X(kReportListAll, 41457)                                                                \
    X(kReportListNeedingProgramming, 41458)                                                 \
    /* Instants past 2038; the programming report in the program's own window */          \
    X(kTimePastLastInstant, 41300)                                                          \
    X(kTableEndsAtTimeLimit, 41301)                                                         \
    X(kAlarmTimeReportTitle, 41302)                                                         \
    X(kNoAlarmTimeReport, 41303)                                                            \
    /* Everyday use: language choice, editing a user, deleting one dose */               \
    X(kDeleteDoseTitle, 41350)                                                              \
    X(kDeleteDoseQuestion, 41351)                                                           \
    X(kDeleteOnlyThisDose, 41352)                                                           \
    X(kDeleteThisAndLaterDoses, 41353)                                                      \
    X(kDeleteWholeSeries, 41354)                                                            \
    X(kAlarmAlreadyExists, 41355)                                                           \
    X(kEndEarlierThanStart, 41356)                                                          \
    X(kSaveUserChanges, 41357)                                                              \
    X(kUserDetailsFrame, 41358)                                                             \
    X(kUserUpdateFailed, 41359)                                                             \
    X(kLanguageAtNextStart, 41360)                                                          \
    X(kLanguageSaveFailed, 41361)                                                           \
    X(kLanguageOverridden, 41362)                                                           \
    /* Acknowledgements kept on the reminder; texts cut to their bound */                   \
    X(kReadBackOwnerNotFound, 41150)                                                        \
    X(kLongTextsCut, 41152)                                                                 \
    /* Reminder jobs on the worker: progress, settings and check steps */                   \
    X(kStepWriteSettings, 41500)                                                            \
    X(kStepVerifyTable, 41501)                                                              \
    X(kReasonTableNotAsWritten, 41502)                                                      \
    X(kReminderWorkTitle, 41503)                                                            \
    /* The dose plan: dialog, page and CSV */                                               \
    X(kDosePlanTitle, 41630)                                                                \
    X(kDosePlanWeeks, 41631)                                                                \
    X(kDosePlanNote, 41632)                                                                 \
    X(kDosePlanName, 41633)                                                                 \
    X(kDosePlanIdentityCode, 41634)                                                         \
    X(kDosePlanMade, 41635)                                                                 \
    X(kDosePlanPeriod, 41636)                                                               \
    X(kDosePlanTaken, 41637)                                                                \
    X(kDosePlanCsvHeader, 41638)                                                            \
    X(kDosePlanNoDoses, 41639)                                                              \
    X(kDosePlanMoreDoses, 41640)                                                            \
    X(kWeekdayNames, 41641)                                                                 \
    /* Screen readers: item states and the calendar views' names */             \
    X(kSpokenUpcoming, 41667)                                                               \
    X(kSpokenUpcomingPouch, 41668)                                                          \
    X(kSpokenNoDoses, 41669)                                                                \
    X(kDayCalendarName, 41670)                                                              \
    X(kWeekCalendarName, 41671)                                                             \
    X(kMonthCalendarName, 41672)                                                            \
    /* Work list */                                                                         \
    X(kWorkListTitle, 41600)                                                                \
    X(kWorkListColumnName, 41601)                                                           \
    X(kWorkListColumnSsn, 41602)                                                            \
    X(kWorkListColumnRunsOut, 41603)                                                        \
    X(kWorkListColumnReasons, 41604)                                                        \
    X(kWorkListReasonRunsOut, 41605)                                                        \
    X(kWorkListReasonRunOut, 41606)                                                         \
    X(kWorkListReasonNeedsProgramming, 41607)                                               \
    X(kWorkListReasonLogNotRead, 41608)                                                     \
    X(kWorkListReminderEmpty, 41609)                                                        \
    X(kWorkListRunsOutDays, 41610)                                                          \
    X(kWorkListLogDays, 41611)                                                              \
    X(kWorkListDueThisWeek, 41612)                                                          \
    /* The planner's corner: the week's number */                                         \
    X(kWeekNumberLabel, 41700)                                                              \
    /* Status bar idle text */                                                              \
    X(kReady, 57345)

#define VELMORA_DECLARE_STRING_ID(name, id) inline constexpr int name = id;
VELMORA_STRING_IDS(VELMORA_DECLARE_STRING_ID)
#undef VELMORA_DECLARE_STRING_ID

inline constexpr int kFirstStringId = 40001;
inline constexpr int kLastStringId = 40210;
inline constexpr int kIdleStatusText = kReady;

// Menus.
inline constexpr int kMenuAlarmContext = 154;  // popup: edit / delete alarm
inline constexpr int kMenuMdd = 155;
inline constexpr int kMenuReader = 173;
inline constexpr int kMenuVelmora = 180;

}  // namespace velmora::ids

// Command ids sent by the menus (154, 155, 173, 180) and the main window's
// buttons. They share numbers with string ids but are a separate space.
namespace velmora::cmd {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kShowHistory = 40000;
inline constexpr int kCloseUser = 40001;
inline constexpr int kPrintAlarmReport = 40002;
inline constexpr int kReport = 40003;
inline constexpr int kBackup = 40004;
inline constexpr int kClearCalendar = 40005;  // "Sarjaohjelmointi..." in the main menu
inline constexpr int kExit = 40006;
inline constexpr int kRegister = 40007;
inline constexpr int kUserManagement = 40008;
inline constexpr int kCheckUpdates = 40009;
inline constexpr int kAbout = 40010;
inline constexpr int kAccount = 40011;
inline constexpr int kEditAlarm = 40012;    // kMenuAlarmContext
inline constexpr int kDeleteAlarm = 40013;  // kMenuAlarmContext
inline constexpr int kChangePassword = 40014;
inline constexpr int kEmptyReminder = 40015;
inline constexpr int kUserManual = 40016;
// The alarm time report (kPrintAlarmReport's) on paper or as PDF.
inline constexpr int kPrintAlarmReportOnPaper = 40370;
inline constexpr int kSaveAlarmReportAsPdf = 40371;
inline constexpr int kFetchPouchData = 40400;      // Tools: the current user's pouch data
inline constexpr int kUpdateAllPouchData = 40401;  // Tools: every user's pouch alarms
// Language: the choice kept for the next start.
inline constexpr int kLanguageFinnish = 41350;
inline constexpr int kLanguageEnglish = 41351;
// File: the current user's dose plan.
inline constexpr int kDosePlan = 41650;
// View: the keys go to the day and week calendar or to the month calendar.
inline constexpr int kViewPlanner = 41680;
inline constexpr int kViewMonth = 41681;
// View: the work list shown or hidden.
inline constexpr int kWorkList = 41600;
}  // namespace velmora::cmd
