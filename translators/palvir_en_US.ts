<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Console</name>
    <message>
        <source>LocalHost</source>
        <translation>LocalHost</translation>
    </message>
    <message>
        <source>Commands now go to %1 (%2).</source>
        <translation>Commands now go to %1 (%2).</translation>
    </message>
    <message>
        <source>Commands now go to %1, serial number %2 (%3).</source>
        <translation>Commands now go to %1, serial number %2 (%3).</translation>
    </message>
</context>
<context>
    <name>ControllerWatcher</name>
    <message>
        <source>Controllers appear in the tree as they are found.</source>
        <translation>Controllers appear in the tree as they are found.</translation>
    </message>
    <message>
        <source>Finding controller...</source>
        <translation>Finding controller...</translation>
    </message>
</context>
<context>
    <name>DialogAddControllerByIP</name>
    <message>
        <source>Connect To Server</source>
        <translation>Connect To Server</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Please enter a valid IP address.</source>
        <translation>Please enter a valid IP address.</translation>
    </message>
</context>
<context>
    <name>DialogAddHotSpareDisk</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Available Disks</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>New Hot Spare Disk</source>
        <translation>New Hot Spare Disk</translation>
    </message>
    <message>
        <source>Are you sure you want to create hot spare disk?</source>
        <translation>Are you sure you want to create hot spare disk?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateHotSpare(..), Error = %0.</source>
        <translation>Failed to ZynCreateHotSpare(..), Error = %0.</translation>
    </message>
    <message>
        <source>Hotspare disk(s) have been created successfully.</source>
        <translation>Hotspare disk(s) have been created successfully.</translation>
    </message>
</context>
<context>
    <name>DialogAddNestedVolume</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available RaidSet(s)</source>
        <translation>Available RaidSet(s)</translation>
    </message>
    <message>
        <source>Nested(Hybrid) RAID Level</source>
        <translation>Nested(Hybrid) RAID Level</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>Raid Level:</translation>
    </message>
    <message>
        <source>Raid 00</source>
        <translation>Raid 00</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid 100</source>
        <translation>Raid 100</translation>
    </message>
    <message>
        <source>Raid 30</source>
        <translation>Raid 30</translation>
    </message>
    <message>
        <source>Raid 50</source>
        <translation>Raid 50</translation>
    </message>
    <message>
        <source>Raid 60</source>
        <translation>Raid 60</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Initialization Mode:</source>
        <translation>Initialization Mode:</translation>
    </message>
    <message>
        <source>Foreground Initialization</source>
        <translation>Foreground Initialization</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>Stripe Size:</translation>
    </message>
    <message>
        <source>64 KBytes</source>
        <translation>64 KBytes</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>Cache Mode:</translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>Write Back</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>New Nested(Hybrid) RAID</source>
        <translation>New Nested(Hybrid) RAID</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>MAX: </translation>
    </message>
    <message>
        <source>Exceed numbers of volumes allowed.</source>
        <translation>Exceed numbers of volumes allowed.</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>Are you sure you want to create this volume ?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>Failed to ZynCreateVolSet(..), Error = %0.</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>Volume has been created successfully.</translation>
    </message>
</context>
<context>
    <name>DialogAddPassThroughDisk</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Available Disks</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>New Pass Through Disk</source>
        <translation>New Pass Through Disk</translation>
    </message>
    <message>
        <source>Are you sure you want to create pass through disk?</source>
        <translation>Are you sure you want to create pass through disk?</translation>
    </message>
    <message>
        <source>Failed to ZynCreatePassthroughDisk(..), Error = %0.</source>
        <translation>Failed to ZynCreatePassthroughDisk(..), Error = %0.</translation>
    </message>
    <message>
        <source>Pass through disk(s) have been created successfully.</source>
        <translation>Pass through disk(s) have been created successfully.</translation>
    </message>
</context>
<context>
    <name>DialogAddRaidSet</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>New RaidSet Information</source>
        <translation>New RaidSet Information</translation>
    </message>
    <message>
        <source>Member Disks:</source>
        <translation>Member Disks:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>Total Raw Capacity:</translation>
    </message>
    <message>
        <source>Min Member Disk Size:</source>
        <translation>Min Member Disk Size:</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Available Disks</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>New RaidSet</source>
        <translation>New RaidSet</translation>
    </message>
    <message>
        <source>Are you sure you want to create this raidset ?</source>
        <translation>Are you sure you want to create this raidset ?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateRaidSet(..), Error = %0.</source>
        <translation>Failed to ZynCreateRaidSet(..), Error = %0.</translation>
    </message>
    <message>
        <source>RaidSet has been created successfully.</source>
        <translation>RaidSet has been created successfully.</translation>
    </message>
</context>
<context>
    <name>DialogAddVolume</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>New Volume Information</source>
        <translation>New Volume Information</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>Raid Level:</translation>
    </message>
    <message>
        <source>Raid 0</source>
        <translation>Raid 0</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid 1</source>
        <translation>Raid 1</translation>
    </message>
    <message>
        <source>Raid 3</source>
        <translation>Raid 3</translation>
    </message>
    <message>
        <source>Raid 5</source>
        <translation>Raid 5</translation>
    </message>
    <message>
        <source>Raid 6</source>
        <translation>Raid 6</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Initialization Mode:</source>
        <translation>Initialization Mode:</translation>
    </message>
    <message>
        <source>Foreground Initialization</source>
        <translation>Foreground Initialization</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>Stripe Size:</translation>
    </message>
    <message>
        <source>64 KBytes</source>
        <translation>64 KBytes</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>Cache Mode:</translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>Write Back</translation>
    </message>
    <message>
        <source>RaidSet Information</source>
        <translation>RaidSet Information</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>Total Raw Capacity:</translation>
    </message>
    <message>
        <source>Free Raw Capacity:</source>
        <translation>Free Raw Capacity:</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>State:</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>MAX: </translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>New Volume</translation>
    </message>
    <message>
        <source>Raid 1+0</source>
        <translation>Raid 1+0</translation>
    </message>
    <message>
        <source>Exceed numbers of volumes allowed.</source>
        <translation>Exceed numbers of volumes allowed.</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>Are you sure you want to create this volume ?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>Failed to ZynCreateVolSet(..), Error = %0.</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>Volume has been created successfully.</translation>
    </message>
</context>
<context>
    <name>DialogDeleteHotSpareDisk</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Hot Spare Disk</source>
        <translation>Available Hot Spare Disk</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Delete Hot Spare Disk</source>
        <translation>Delete Hot Spare Disk</translation>
    </message>
    <message>
        <source>Are you sure you want to delete hot spare disk?</source>
        <translation>Are you sure you want to delete hot spare disk?</translation>
    </message>
    <message>
        <source>Failed to ZynDeleteHotSpare(..), Error = %0.</source>
        <translation>Failed to ZynDeleteHotSpare(..), Error = %0.</translation>
    </message>
    <message>
        <source>Hotspare disk(s) have been deleted successfully.</source>
        <translation>Hotspare disk(s) have been deleted successfully.</translation>
    </message>
</context>
<context>
    <name>DialogDeleteNestedVolumes</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Nested(Hybrid) RAID</source>
        <translation>Available Nested(Hybrid) RAID</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Delete Nested(Hybrid) RAID</source>
        <translation>Delete Nested(Hybrid) RAID</translation>
    </message>
    <message>
        <source>ALL DATA IN THESE VOLUMES WILL BE LOST!!!
Are you sure you want to continue ?</source>
        <translation>ALL DATA IN THESE VOLUMES WILL BE LOST!!!
Are you sure you want to continue ?</translation>
    </message>
    <message>
        <source>Failed to ZynDelVolSet(..), Error = %0.</source>
        <translation>Failed to ZynDelVolSet(..), Error = %0.</translation>
    </message>
    <message>
        <source>Nested(Hybrid) RAID(s) have been deleted successfully.</source>
        <translation>Nested(Hybrid) RAID(s) have been deleted successfully.</translation>
    </message>
</context>
<context>
    <name>DialogDiskDetail</name>
    <message>
        <source>Disk Information</source>
        <translation>Disk Information</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Device Type:</source>
        <translation>Device Type:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Device Location:</source>
        <translation>Device Location:</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>Model Name:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Serial Number:</translation>
    </message>
    <message>
        <source>Firmware Rev:</source>
        <translation>Firmware Rev:</translation>
    </message>
    <message>
        <source>Disk Capacity:</source>
        <translation>Disk Capacity:</translation>
    </message>
    <message>
        <source>Device State:</source>
        <translation>Device State:</translation>
    </message>
    <message>
        <source>Timeout Count:</source>
        <translation>Timeout Count:</translation>
    </message>
    <message>
        <source>Media Error Count:</source>
        <translation>Media Error Count:</translation>
    </message>
    <message>
        <source>Device Temperature:</source>
        <translation>Device Temperature:</translation>
    </message>
    <message>
        <source>SMART Read Error Rate:</source>
        <translation>SMART Read Error Rate:</translation>
    </message>
    <message>
        <source>SMART Spinup Time</source>
        <translation>SMART Spinup Time</translation>
    </message>
    <message>
        <source>SMART Reallocation Count:</source>
        <translation>SMART Reallocation Count:</translation>
    </message>
    <message>
        <source>SMART Seek Error Rate:</source>
        <translation>SMART Seek Error Rate:</translation>
    </message>
    <message>
        <source>SMART Spinup Retries:</source>
        <translation>SMART Spinup Retries:</translation>
    </message>
    <message>
        <source>SMART Calibration Retries:</source>
        <translation>SMART Calibration Retries:</translation>
    </message>
    <message>
        <source>S.M.A.R.T</source>
        <translation>S.M.A.R.T</translation>
    </message>
    <message>
        <source>SAS(%1)</source>
        <translation>SAS(%1)</translation>
    </message>
    <message>
        <source>Rotation Speed:</source>
        <translation>Rotation Speed:</translation>
    </message>
    <message>
        <source>%1 RPM</source>
        <translation>%1 RPM</translation>
    </message>
    <message>
        <source>Read Errors Recovered Without Delay:</source>
        <translation>Read Errors Recovered Without Delay:</translation>
    </message>
    <message>
        <source>Read Errors Recovered With Delay:</source>
        <translation>Read Errors Recovered With Delay:</translation>
    </message>
    <message>
        <source>Read Errors Recovered With Retry:</source>
        <translation>Read Errors Recovered With Retry:</translation>
    </message>
    <message>
        <source>Read Errors Recovered:</source>
        <translation>Read Errors Recovered:</translation>
    </message>
    <message>
        <source>Read Total Bytes:</source>
        <translation>Read Total Bytes:</translation>
    </message>
    <message>
        <source>Read Errors Unrecovered:</source>
        <translation>Read Errors Unrecovered:</translation>
    </message>
    <message>
        <source>Write Errors Recovered Without Delay:</source>
        <translation>Write Errors Recovered Without Delay:</translation>
    </message>
    <message>
        <source>Write Errors Recovered With Delay:</source>
        <translation>Write Errors Recovered With Delay:</translation>
    </message>
    <message>
        <source>Write Errors Recovered With Retry:</source>
        <translation>Write Errors Recovered With Retry:</translation>
    </message>
    <message>
        <source>Write Errors Recovered:</source>
        <translation>Write Errors Recovered:</translation>
    </message>
    <message>
        <source>Write Total Bytes:</source>
        <translation>Write Total Bytes:</translation>
    </message>
    <message>
        <source>Write Errors Unrecovered:</source>
        <translation>Write Errors Unrecovered:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered Without Delay:</source>
        <translation>Verify Errors Recovered Without Delay:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered With Delay:</source>
        <translation>Verify Errors Recovered With Delay:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered With Retry:</source>
        <translation>Verify Errors Recovered With Retry:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered:</source>
        <translation>Verify Errors Recovered:</translation>
    </message>
    <message>
        <source>Verify Errors Unrecovered:</source>
        <translation>Verify Errors Unrecovered:</translation>
    </message>
    <message>
        <source>Non-Medium Errors:</source>
        <translation>Non-Medium Errors:</translation>
    </message>
    <message>
        <source>Defect P-List Block Count:</source>
        <translation>Defect P-List Block Count:</translation>
    </message>
    <message>
        <source>Defect G-List Block Count:</source>
        <translation>Defect G-List Block Count:</translation>
    </message>
    <message>
        <source>Enclosure#%1 </source>
        <translation>Enclosure#%1 </translation>
    </message>
    <message>
        <source>SATA(%1)</source>
        <translation>SATA(%1)</translation>
    </message>
    <message>
        <source>Channel#%1</source>
        <translation>Channel#%1</translation>
    </message>
    <message>
        <source>Channel%1
</source>
        <translation>Channel%1
</translation>
    </message>
    <message>
        <source>N.A</source>
        <translation>N.A</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>%1 °C</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <source>N.A.(N.A.)</source>
        <translation>N.A.(N.A.)</translation>
    </message>
</context>
<context>
    <name>DialogExpandRaidsetWizard</name>
    <message>
        <source>Wizard</source>
        <translation>Wizard</translation>
    </message>
    <message>
        <source>RaidSet Information</source>
        <translation>RaidSet Information</translation>
    </message>
    <message>
        <source>New Member Disks:</source>
        <translation>New Member Disks:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>New Raw Capacity:</source>
        <translation>New Raw Capacity:</translation>
    </message>
    <message>
        <source>Min Member Disk Size</source>
        <translation>Min Member Disk Size</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Available Disks</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Volume Set List</source>
        <translation>Volume Set List</translation>
    </message>
    <message>
        <source>Expand RaidSet</source>
        <translation>Expand RaidSet</translation>
    </message>
</context>
<context>
    <name>DialogMailSettings</name>
    <message>
        <source>Email</source>
        <translation>Email</translation>
    </message>
    <message>
        <source>send a test mail</source>
        <translation>send a test mail</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>Sender Name:</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>Sender Address:</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>Authentication</translation>
    </message>
    <message>
        <source>Account:</source>
        <translation>Account:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Enable SSL</source>
        <translation>Enable SSL</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Recipients</translation>
    </message>
    <message>
        <source>MailTo1</source>
        <translation>MailTo1</translation>
    </message>
    <message>
        <source>MailTo2</source>
        <translation>MailTo2</translation>
    </message>
    <message>
        <source>MailTo3</source>
        <translation>MailTo3</translation>
    </message>
    <message>
        <source>The test mail has been handed to the mail server connection; see the log for whether it was delivered.</source>
        <translation>The test mail has been handed to the mail server connection; see the log for whether it was delivered.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Please enter the account.</source>
        <translation>Please enter the account.</translation>
    </message>
    <message>
        <source>Please enter the password.</source>
        <translation>Please enter the password.</translation>
    </message>
    <message>
        <source>Mail Testing</source>
        <translation>Mail Testing</translation>
    </message>
    <message>
        <source>Send test mail ?</source>
        <translation>Send test mail ?</translation>
    </message>
    <message>
        <source>Test mail</source>
        <translation>Test mail</translation>
    </message>
    <message>
        <source>Test mail from %0 %1</source>
        <translation>Test mail from %0 %1</translation>
    </message>
    <message>
        <source>Test Mail</source>
        <translation>Test Mail</translation>
    </message>
</context>
<context>
    <name>DialogQuickCreate</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>New Volume Information</source>
        <translation>New Volume Information</translation>
    </message>
    <message>
        <source>Total Number Of Disks:</source>
        <translation>Total Number Of Disks:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>Raid Level:</translation>
    </message>
    <message>
        <source>Raid 0</source>
        <translation>Raid 0</translation>
    </message>
    <message>
        <source>Raid 1</source>
        <translation>Raid 1</translation>
    </message>
    <message>
        <source>Raid 1 + Spare</source>
        <translation>Raid 1 + Spare</translation>
    </message>
    <message>
        <source>Raid 3</source>
        <translation>Raid 3</translation>
    </message>
    <message>
        <source>Raid 3 + Spare</source>
        <translation>Raid 3 + Spare</translation>
    </message>
    <message>
        <source>Raid 5</source>
        <translation>Raid 5</translation>
    </message>
    <message>
        <source>Raid 5 + Spare</source>
        <translation>Raid 5 + Spare</translation>
    </message>
    <message>
        <source>Raid 6</source>
        <translation>Raid 6</translation>
    </message>
    <message>
        <source>Raid 6 + Spare</source>
        <translation>Raid 6 + Spare</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Create Volume</source>
        <translation>Create Volume</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>New Volume</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>MAX: </translation>
    </message>
    <message>
        <source>MAX: 0 GB</source>
        <translation>MAX: 0 GB</translation>
    </message>
    <message>
        <source>Raid 1 + 0</source>
        <translation>Raid 1 + 0</translation>
    </message>
    <message>
        <source>Raid 1 + 0 + Spare</source>
        <translation>Raid 1 + 0 + Spare</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>Are you sure you want to create this volume ?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateRaidSet(..), Error = %0.</source>
        <translation>Failed to ZynCreateRaidSet(..), Error = %0.</translation>
    </message>
    <message>
        <source>Failed to ZynCreateHotSpare(..), Error = %0.</source>
        <translation>Failed to ZynCreateHotSpare(..), Error = %0.</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>Failed to ZynCreateVolSet(..), Error = %0.</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>Volume has been created successfully.</translation>
    </message>
</context>
<context>
    <name>DialogSNMPTrapSettings</name>
    <message>
        <source>SNMP Trap</source>
        <translation>SNMP Trap</translation>
    </message>
    <message>
        <source>SNMP Trap Configurations</source>
        <translation>SNMP Trap Configurations</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #1</source>
        <translation>SNMP Trap IP Address #1</translation>
    </message>
    <message>
        <source>Port#</source>
        <translation>Port#</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #2</source>
        <translation>SNMP Trap IP Address #2</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #3</source>
        <translation>SNMP Trap IP Address #3</translation>
    </message>
    <message>
        <source>Community</source>
        <translation>Community</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>DialogScheduler</name>
    <message>
        <source>Scheduler</source>
        <translation>Scheduler</translation>
    </message>
    <message>
        <source>Task List</source>
        <translation>Task List</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monthly</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>Recur every</source>
        <translation>Recur every</translation>
    </message>
    <message>
        <source>days</source>
        <translation>days</translation>
    </message>
    <message>
        <source>weeks on:</source>
        <translation>weeks on:</translation>
    </message>
    <message>
        <source>months on:</source>
        <translation>months on:</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>MessageBox</source>
        <translation>MessageBox</translation>
    </message>
    <message>
        <source>Send Mail</source>
        <translation>Send Mail</translation>
    </message>
    <message>
        <source>Check Volume</source>
        <translation>Check Volume</translation>
    </message>
    <message>
        <source>Message shows on the message box:</source>
        <translation>Message shows on the message box:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Subject:</translation>
    </message>
    <message>
        <source>Message:</source>
        <translation>Message:</translation>
    </message>
    <message>
        <source>Include remote side controller(s)</source>
        <translation>Include remote side controller(s)</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>Email Settings</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Please select days!!</source>
        <translation>Please select days!!</translation>
    </message>
    <message>
        <source>Please input message box text!!</source>
        <translation>Please input message box text!!</translation>
    </message>
    <message>
        <source>Please input mail subject!!</source>
        <translation>Please input mail subject!!</translation>
    </message>
    <message>
        <source>Please input mail message!!</source>
        <translation>Please input mail message!!</translation>
    </message>
    <message>
        <source>Max tasks count = 5</source>
        <translation>Max tasks count = 5</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>Task name:</translation>
    </message>
    <message>
        <source>Please enter task name!!</source>
        <translation>Please enter task name!!</translation>
    </message>
    <message>
        <source>Task name already exists!!</source>
        <translation>Task name already exists!!</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this task ?</source>
        <translation>Are you sure you want to delete this task ?</translation>
    </message>
</context>
<context>
    <name>DialogSetup</name>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Interface</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Notification</translation>
    </message>
    <message>
        <source>Notification Level</source>
        <translation>Notification Level</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Serious</source>
        <translation>Serious</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>Urgent</translation>
    </message>
    <message>
        <source>By Email</source>
        <translation>By Email</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>Email Settings</translation>
    </message>
    <message>
        <source>Attach log file on event level SERIOUS or URGENT</source>
        <translation>Attach log file on event level SERIOUS or URGENT</translation>
    </message>
    <message>
        <source>By SNMP Trap</source>
        <translation>By SNMP Trap</translation>
    </message>
    <message>
        <source>SNMP Trap Settings</source>
        <translation>SNMP Trap Settings</translation>
    </message>
    <message>
        <source>By Message Window</source>
        <translation>By Message Window</translation>
    </message>
    <message>
        <source>By System Log</source>
        <translation>By System Log</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>The language has been changed, please restart Palvir to take effect</source>
        <translation>The language has been changed, please restart Palvir to take effect</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1. The language you chose is lost: it would take effect only after a restart. The other new values stay in force until the program ends.</source>
        <translation>The settings could not be saved in %1. The language you chose is lost: it would take effect only after a restart. The other new values stay in force until the program ends.</translation>
    </message>
</context>
<context>
    <name>FinalPage</name>
    <message>
        <source>Summary</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>The information of raidset expansion</source>
        <translation>The information of raidset expansion</translation>
    </message>
</context>
<context>
    <name>FreeDiskPage</name>
    <message>
        <source>Expansion</source>
        <translation>Expansion</translation>
    </message>
    <message>
        <source>Raid Set expansion is a quite critical process, we strongly recommend customer backup data before expand. Unexpected accident may cause serious data corruption.</source>
        <translation>Raid Set expansion is a quite critical process, we strongly recommend customer backup data before expand. Unexpected accident may cause serious data corruption.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Palvir</source>
        <translation>Palvir</translation>
    </message>
    <message>
        <source>Expand All</source>
        <translation>Expand All</translation>
    </message>
    <message>
        <source>Please select a &quot;Controller&quot;,&quot;RaidSet&quot; or &quot;VolumeSet&quot; to continue...</source>
        <translation>Please select a &quot;Controller&quot;,&quot;RaidSet&quot; or &quot;VolumeSet&quot; to continue...</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Overview</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Manufacturer:</source>
        <translation>Manufacturer:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>Model Name:</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>Firmware Version:</translation>
    </message>
    <message>
        <source>BootROM Version:</source>
        <translation>BootROM Version:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Serial Number:</translation>
    </message>
    <message>
        <source>Resources</source>
        <translation>Resources</translation>
    </message>
    <message>
        <source>CPU Speed:</source>
        <translation>CPU Speed:</translation>
    </message>
    <message>
        <source>Memory:</source>
        <translation>Memory:</translation>
    </message>
    <message>
        <source>Beeper:</source>
        <translation>Beeper:</translation>
    </message>
    <message>
        <source>DHCP:</source>
        <translation>DHCP:</translation>
    </message>
    <message>
        <source>Ethernet:</source>
        <translation>Ethernet:</translation>
    </message>
    <message>
        <source>MAC Address:</source>
        <translation>MAC Address:</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP Address:</translation>
    </message>
    <message>
        <source>Quick Create</source>
        <translation>Quick Create</translation>
    </message>
    <message>
        <source>Create a default raidset with all free disks and a default volume</source>
        <translation>Create a default raidset with all free disks and a default volume</translation>
    </message>
    <message>
        <source>Create RaidSet</source>
        <translation>Create RaidSet</translation>
    </message>
    <message>
        <source>Create a new raidset</source>
        <translation>Create a new raidset</translation>
    </message>
    <message>
        <source>Create Nested(Hybrid) RAID</source>
        <translation>Create Nested(Hybrid) RAID</translation>
    </message>
    <message>
        <source>Create Raid00/100/30/50/60</source>
        <translation>Create Raid00/100/30/50/60</translation>
    </message>
    <message>
        <source>Create HotSpare Disk</source>
        <translation>Create HotSpare Disk</translation>
    </message>
    <message>
        <source>Create a global hot spare disk</source>
        <translation>Create a global hot spare disk</translation>
    </message>
    <message>
        <source>Create PassThrough Disk</source>
        <translation>Create PassThrough Disk</translation>
    </message>
    <message>
        <source>Create one or more pass through disk</source>
        <translation>Create one or more pass through disk</translation>
    </message>
    <message>
        <source>Delete Nested(Hybrid) RAID</source>
        <translation>Delete Nested(Hybrid) RAID</translation>
    </message>
    <message>
        <source>Delete Raid00/100/30/50/60</source>
        <translation>Delete Raid00/100/30/50/60</translation>
    </message>
    <message>
        <source>Delete HotSpare Disk</source>
        <translation>Delete HotSpare Disk</translation>
    </message>
    <message>
        <source>Delete a global hotspare disk</source>
        <translation>Delete a global hotspare disk</translation>
    </message>
    <message>
        <source>Advanced Features</source>
        <translation>Advanced Features</translation>
    </message>
    <message>
        <source>Launch browser to do advance settings</source>
        <translation>Launch browser to do advance settings</translation>
    </message>
    <message>
        <source>Mute Beeper</source>
        <translation>Mute Beeper</translation>
    </message>
    <message>
        <source>RaidSets</source>
        <translation>RaidSets</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Disks</source>
        <translation>Disks</translation>
    </message>
    <message>
        <source>H/W Monitor</source>
        <translation>H/W Monitor</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>Event Level</source>
        <translation>Event Level</translation>
    </message>
    <message>
        <source>Informational</source>
        <translation>Informational</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Serious</source>
        <translation>Serious</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>Urgent</translation>
    </message>
    <message>
        <source>CLI</source>
        <translation>CLI</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>Total Raw Capacity:</translation>
    </message>
    <message>
        <source>Member Disks:</source>
        <translation>Member Disks:</translation>
    </message>
    <message>
        <source>Free Raw Capacity:</source>
        <translation>Free Raw Capacity:</translation>
    </message>
    <message>
        <source>Supported Volumes:</source>
        <translation>Supported Volumes:</translation>
    </message>
    <message>
        <source>Min Member Disk Size:</source>
        <translation>Min Member Disk Size:</translation>
    </message>
    <message>
        <source>Current Volumes:</source>
        <translation>Current Volumes:</translation>
    </message>
    <message>
        <source>Raid Set State:</source>
        <translation>Raid Set State:</translation>
    </message>
    <message>
        <source>Create Volume</source>
        <translation>Create Volume</translation>
    </message>
    <message>
        <source>Create a new volume</source>
        <translation>Create a new volume</translation>
    </message>
    <message>
        <source>Delete This RaidSet</source>
        <translation>Delete This RaidSet</translation>
    </message>
    <message>
        <source>Delete current raidset</source>
        <translation>Delete current raidset</translation>
    </message>
    <message>
        <source>Create a raidset-dedicated hot spare disk</source>
        <translation>Create a raidset-dedicated hot spare disk</translation>
    </message>
    <message>
        <source>Delete a raidset-dedicated hotspare disk</source>
        <translation>Delete a raidset-dedicated hotspare disk</translation>
    </message>
    <message>
        <source>Expand RaidSet</source>
        <translation>Expand RaidSet</translation>
    </message>
    <message>
        <source>Expand an exist raidset</source>
        <translation>Expand an exist raidset</translation>
    </message>
    <message>
        <source>Activate Incomplete RaidSet</source>
        <translation>Activate Incomplete RaidSet</translation>
    </message>
    <message>
        <source>Activate an incomplete raidset</source>
        <translation>Activate an incomplete raidset</translation>
    </message>
    <message>
        <source>Member Disk</source>
        <translation>Member Disk</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>Stripe Size:</translation>
    </message>
    <message>
        <source>Raid Set Name:</source>
        <translation>Raid Set Name:</translation>
    </message>
    <message>
        <source>Block Size:</source>
        <translation>Block Size:</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>Cache Mode:</translation>
    </message>
    <message>
        <source>Volume Capacity:</source>
        <translation>Volume Capacity:</translation>
    </message>
    <message>
        <source>Write Protection:</source>
        <translation>Write Protection:</translation>
    </message>
    <message>
        <source>SCSI Ch/Id/Lun:</source>
        <translation>SCSI Ch/Id/Lun:</translation>
    </message>
    <message>
        <source>Tagged Queuing:</source>
        <translation>Tagged Queuing:</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>Raid Level:</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>State:</translation>
    </message>
    <message>
        <source>Delete This Volume</source>
        <translation>Delete This Volume</translation>
    </message>
    <message>
        <source>Delete current volume</source>
        <translation>Delete current volume</translation>
    </message>
    <message>
        <source>Recent Tasks</source>
        <translation>Recent Tasks</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Mi&amp;nimize</translation>
    </message>
    <message>
        <source>Ma&amp;ximize</source>
        <translation>Ma&amp;ximize</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>tray icon</source>
        <translation>tray icon</translation>
    </message>
    <message>
        <source>About %0</source>
        <translation>About %0</translation>
    </message>
    <message>
        <source>&lt;h2&gt;%0 %1&lt;/h2&gt;&lt;p&gt;Zynlib: %2&lt;/p&gt;&lt;p&gt;PWD: %3&lt;/p&gt;&lt;p&gt;It finds the controllers of this computer and of the network, shows what they hold and tells you of their events.&lt;/p&gt;&lt;p&gt;%4 is an application that manages Varnel RAID Controllers.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;%0 %1&lt;/h2&gt;&lt;p&gt;Zynlib: %2&lt;/p&gt;&lt;p&gt;PWD: %3&lt;/p&gt;&lt;p&gt;It finds the controllers of this computer and of the network, shows what they hold and tells you of their events.&lt;/p&gt;&lt;p&gt;%4 is an application that manages Varnel RAID Controllers.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Close Confirmation?</source>
        <translation>Close Confirmation?</translation>
    </message>
    <message>
        <source>Are you sure you want to exit?</source>
        <translation>Are you sure you want to exit?</translation>
    </message>
    <message>
        <source>Connect to remote controller via IP address</source>
        <translation>Connect to remote controller via IP address</translation>
    </message>
    <message>
        <source>Disconnect remote controller</source>
        <translation>Disconnect remote controller</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>RAID Operations</source>
        <translation>RAID Operations</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>Scheduler</source>
        <translation>Scheduler</translation>
    </message>
    <message>
        <source>Create a default raidset and volume</source>
        <translation>Create a default raidset and volume</translation>
    </message>
    <message>
        <source>New RaidSet</source>
        <translation>New RaidSet</translation>
    </message>
    <message>
        <source>New Nested RAID</source>
        <translation>New Nested RAID</translation>
    </message>
    <message>
        <source>Add a new nested RAID</source>
        <translation>Add a new nested RAID</translation>
    </message>
    <message>
        <source>Delete Nested RAID</source>
        <translation>Delete Nested RAID</translation>
    </message>
    <message>
        <source>Delete a nested RAID</source>
        <translation>Delete a nested RAID</translation>
    </message>
    <message>
        <source>Delete RaidSet</source>
        <translation>Delete RaidSet</translation>
    </message>
    <message>
        <source>Delete raidset</source>
        <translation>Delete raidset</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>New Volume</translation>
    </message>
    <message>
        <source>Delete Volume</source>
        <translation>Delete Volume</translation>
    </message>
    <message>
        <source>Delete volume</source>
        <translation>Delete volume</translation>
    </message>
    <message>
        <source>New Hot Spare</source>
        <translation>New Hot Spare</translation>
    </message>
    <message>
        <source>Create a new hot spare</source>
        <translation>Create a new hot spare</translation>
    </message>
    <message>
        <source>Delete Hot Spare</source>
        <translation>Delete Hot Spare</translation>
    </message>
    <message>
        <source>Delete hot spare</source>
        <translation>Delete hot spare</translation>
    </message>
    <message>
        <source>New Pass-Through Disk</source>
        <translation>New Pass-Through Disk</translation>
    </message>
    <message>
        <source>Create a new pass through disk</source>
        <translation>Create a new pass through disk</translation>
    </message>
    <message>
        <source>Mute beeper</source>
        <translation>Mute beeper</translation>
    </message>
    <message>
        <source>Save Controller Settings...</source>
        <translation>Save Controller Settings...</translation>
    </message>
    <message>
        <source>Save RAID controller settings to file</source>
        <translation>Save RAID controller settings to file</translation>
    </message>
    <message>
        <source>Restore Controller Settings...</source>
        <translation>Restore Controller Settings...</translation>
    </message>
    <message>
        <source>Restore RAID controller settings from file</source>
        <translation>Restore RAID controller settings from file</translation>
    </message>
    <message>
        <source>Collect Controller Data...</source>
        <translation>Collect Controller Data...</translation>
    </message>
    <message>
        <source>Collect RAID controller data to file</source>
        <translation>Collect RAID controller data to file</translation>
    </message>
    <message>
        <source>Rescan Device</source>
        <translation>Rescan Device</translation>
    </message>
    <message>
        <source>Rescan Device(LAN)</source>
        <translation>Rescan Device(LAN)</translation>
    </message>
    <message>
        <source>Delete ( %0 )</source>
        <translation>Delete ( %0 )</translation>
    </message>
    <message>
        <source>Delete (%0) from (%1)</source>
        <translation>Delete (%0) from (%1)</translation>
    </message>
    <message>
        <source>Save Setting File - %0</source>
        <translation>Save Setting File - %0</translation>
    </message>
    <message>
        <source>Failed to save the setting to file %0 </source>
        <translation>Failed to save the setting to file %0 </translation>
    </message>
    <message>
        <source>Setting has been saved to file %0 </source>
        <translation>Setting has been saved to file %0 </translation>
    </message>
    <message>
        <source>Open Setting File - %0</source>
        <translation>Open Setting File - %0</translation>
    </message>
    <message>
        <source>Failed to restore settings</source>
        <translation>Failed to restore settings</translation>
    </message>
    <message>
        <source>Settings have been restored, please restart controller to take effect</source>
        <translation>Settings have been restored, please restart controller to take effect</translation>
    </message>
    <message>
        <source>Failed to collect data</source>
        <translation>Failed to collect data</translation>
    </message>
    <message>
        <source>Data has been saved to file %0 </source>
        <translation>Data has been saved to file %0 </translation>
    </message>
    <message>
        <source>(%0)</source>
        <translation>(%0)</translation>
    </message>
    <message>
        <source>RaidAlert-%0(%1)</source>
        <translation>RaidAlert-%0(%1)</translation>
    </message>
    <message>
        <source>Mail RaidAlert-%0(%1) %2</source>
        <translation>Mail RaidAlert-%0(%1) %2</translation>
    </message>
    <message>
        <source>%0 GB</source>
        <translation>%0 GB</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>RaidSets </source>
        <translation>RaidSets </translation>
    </message>
    <message>
        <source>Volumes </source>
        <translation>Volumes </translation>
    </message>
    <message>
        <source>Disks </source>
        <translation>Disks </translation>
    </message>
    <message>
        <source>(%0/%1)</source>
        <translation>(%0/%1)</translation>
    </message>
    <message>
        <source>Supported</source>
        <translation>Supported</translation>
    </message>
    <message>
        <source>Unsupported</source>
        <translation>Unsupported</translation>
    </message>
    <message>
        <source>LocalHost: %0</source>
        <translation>LocalHost: %0</translation>
    </message>
    <message>
        <source>%0 MHz</source>
        <translation>%0 MHz</translation>
    </message>
    <message>
        <source>ECC</source>
        <translation>ECC</translation>
    </message>
    <message>
        <source>Member Disks </source>
        <translation>Member Disks </translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>Write Back</translation>
    </message>
    <message>
        <source>Write Through</source>
        <translation>Write Through</translation>
    </message>
    <message>
        <source>%0 KB</source>
        <translation>%0 KB</translation>
    </message>
    <message>
        <source>512 Bytes</source>
        <translation>512 Bytes</translation>
    </message>
    <message>
        <source>No Disk Available</source>
        <translation>No Disk Available</translation>
    </message>
    <message>
        <source>Raid Set Already Exist</source>
        <translation>Raid Set Already Exist</translation>
    </message>
    <message>
        <source>No Disks Available For RaidSet</source>
        <translation>No Disks Available For RaidSet</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this passthrough disk ?</source>
        <translation>Are you sure you want to remove this passthrough disk ?</translation>
    </message>
    <message>
        <source>Failed to remove %1, Error = %2.</source>
        <translation>Failed to remove %1, Error = %2.</translation>
    </message>
    <message>
        <source>%1 has been removed successfully.</source>
        <translation>%1 has been removed successfully.</translation>
    </message>
    <message>
        <source>Failed to delete %1, please delete Raid30/50/60 volume first.</source>
        <translation>Failed to delete %1, please delete Raid30/50/60 volume first.</translation>
    </message>
    <message>
        <source>ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!
Are you sure you want to delete this raidset ?</source>
        <translation>ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!
Are you sure you want to delete this raidset ?</translation>
    </message>
    <message>
        <source>Failed to delete %1, Error = %2.</source>
        <translation>Failed to delete %1, Error = %2.</translation>
    </message>
    <message>
        <source>%1 has been deleted successfully.</source>
        <translation>%1 has been deleted successfully.</translation>
    </message>
    <message>
        <source>RaidSet Already Active</source>
        <translation>RaidSet Already Active</translation>
    </message>
    <message>
        <source>Failed to activate %1, Error = %2.</source>
        <translation>Failed to activate %1, Error = %2.</translation>
    </message>
    <message>
        <source>%1 has been activated successfully.
Note: Create a &quot;Hot Spare Disk&quot; to rebuild the raidset!!</source>
        <translation>%1 has been activated successfully.
Note: Create a &quot;Hot Spare Disk&quot; to rebuild the raidset!!</translation>
    </message>
    <message>
        <source>%1 is not in normal state!!</source>
        <translation>%1 is not in normal state!!</translation>
    </message>
    <message>
        <source>No Space For Volume</source>
        <translation>No Space For Volume</translation>
    </message>
    <message>
        <source>ALL DATA IN THIS VOLUME WILL BE LOST!!!
Are you sure you want to delete this volume ?</source>
        <translation>ALL DATA IN THIS VOLUME WILL BE LOST!!!
Are you sure you want to delete this volume ?</translation>
    </message>
    <message>
        <source>Are you sure you want to stop the volume checking ?</source>
        <translation>Are you sure you want to stop the volume checking ?</translation>
    </message>
    <message>
        <source>Failed to stop volume checking, Error = %1.</source>
        <translation>Failed to stop volume checking, Error = %1.</translation>
    </message>
    <message>
        <source>%1 has been stopped volume checking successfully.</source>
        <translation>%1 has been stopped volume checking successfully.</translation>
    </message>
    <message>
        <source>No Disks Available For Hot Spare</source>
        <translation>No Disks Available For Hot Spare</translation>
    </message>
    <message>
        <source>No Hot Spare Available</source>
        <translation>No Hot Spare Available</translation>
    </message>
    <message>
        <source>No Disks Available For Pass Through</source>
        <translation>No Disks Available For Pass Through</translation>
    </message>
    <message>
        <source>Execute Task(%0)</source>
        <translation>Execute Task(%0)</translation>
    </message>
    <message>
        <source>%0.%1.%2.%3</source>
        <translation>%0.%1.%2.%3</translation>
    </message>
    <message>
        <source>http://%1:%2</source>
        <translation>http://%1:%2</translation>
    </message>
    <message>
        <source>And %1 more events.</source>
        <translation>And %1 more events.</translation>
    </message>
    <message>
        <source>No web browser could be opened; please open %1 by hand.</source>
        <translation>No web browser could be opened; please open %1 by hand.</translation>
    </message>
</context>
<context>
    <name>PasswordGate</name>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Invalid Password!!</source>
        <translation>Invalid Password!!</translation>
    </message>
</context>
<context>
    <name>QControllerItemModel</name>
    <message>
        <source>LocalHost</source>
        <translation>LocalHost</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>Controller Hierarchy</source>
        <translation>Controller Hierarchy</translation>
    </message>
</context>
<context>
    <name>QExpandVolumeSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>New Raid Level</source>
        <translation>New Raid Level</translation>
    </message>
    <message>
        <source>New Stripe Size</source>
        <translation>New Stripe Size</translation>
    </message>
    <message>
        <source>Ch/Id/Lun</source>
        <translation>Ch/Id/Lun</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Capacity</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Loading modules...</source>
        <translation>Loading modules...</translation>
    </message>
</context>
<context>
    <name>QZynDisk</name>
    <message>
        <source>Offlined</source>
        <translation>Offlined</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>JBOD</source>
        <translation>JBOD</translation>
    </message>
    <message>
        <source>Pass Through</source>
        <translation>Pass Through</translation>
    </message>
    <message>
        <source>HotSpare[Global]</source>
        <translation>HotSpare[Global]</translation>
    </message>
    <message>
        <source>HotSpare[%0]</source>
        <translation>HotSpare[%0]</translation>
    </message>
    <message>
        <source>HotSpare[Enclosure]</source>
        <translation>HotSpare[Enclosure]</translation>
    </message>
    <message>
        <source>HotSpare[Unknown]</source>
        <translation>HotSpare[Unknown]</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Free</translation>
    </message>
</context>
<context>
    <name>QZynDiskItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Serial#</source>
        <translation>Serial#</translation>
    </message>
    <message>
        <source>Firmware Rev.</source>
        <translation>Firmware Rev.</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Capacity</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Usage</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Slot#</source>
        <translation>Slot#</translation>
    </message>
    <message>
        <source>Enclsoure#%1: %2</source>
        <translation>Enclsoure#%1: %2</translation>
    </message>
</context>
<context>
    <name>QZynEventItemModel</name>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>DateTime</source>
        <translation>DateTime</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Event Type</source>
        <translation>Event Type</translation>
    </message>
    <message>
        <source>Elapse Time</source>
        <translation>Elapse Time</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Errors</translation>
    </message>
</context>
<context>
    <name>QZynHost</name>
    <message>
        <source>%1 connected.</source>
        <translation>%1 connected.</translation>
    </message>
    <message>
        <source>%1 disconnected.</source>
        <translation>%1 disconnected.</translation>
    </message>
    <message>
        <source>No controller found at %0</source>
        <translation>No controller found at %0</translation>
    </message>
    <message>
        <source>No controller found</source>
        <translation>No controller found</translation>
    </message>
    <message>
        <source>No controller found in slot %1</source>
        <translation>No controller found in slot %1</translation>
    </message>
</context>
<context>
    <name>QZynHwMonitorItemModel</name>
    <message>
        <source>FAILED</source>
        <translation>FAILED</translation>
    </message>
    <message>
        <source>Not Installed</source>
        <translation>Not Installed</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Enclosure#%1 : %2</source>
        <translation>Enclosure#%1 : %2</translation>
    </message>
    <message>
        <source>Controller H/W Monitor</source>
        <translation>Controller H/W Monitor</translation>
    </message>
    <message>
        <source>Controller Temp</source>
        <translation>Controller Temp</translation>
    </message>
    <message>
        <source>N.A.</source>
        <translation>N.A.</translation>
    </message>
    <message>
        <source>Fan#%1 Speed</source>
        <translation>Fan#%1 Speed</translation>
    </message>
    <message>
        <source>HDD#%1 Temp.</source>
        <translation>HDD#%1 Temp.</translation>
    </message>
    <message>
        <source>Battery Status</source>
        <translation>Battery Status</translation>
    </message>
    <message>
        <source>Power +%1V</source>
        <translation>Power +%1V</translation>
    </message>
</context>
<context>
    <name>QZynRaidSet</name>
    <message>
        <source>Unkonwn</source>
        <translation>Unkonwn</translation>
    </message>
    <message>
        <source>Incomplete</source>
        <translation>Incomplete</translation>
    </message>
    <message>
        <source>Degraded</source>
        <translation>Degraded</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Initializing</translation>
    </message>
    <message>
        <source>Migrating</source>
        <translation>Migrating</translation>
    </message>
    <message>
        <source>Rebuilding</source>
        <translation>Rebuilding</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Checking</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
</context>
<context>
    <name>QZynRaidSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Member Disk</source>
        <translation>Member Disk</translation>
    </message>
    <message>
        <source>Total Raw Capacity</source>
        <translation>Total Raw Capacity</translation>
    </message>
    <message>
        <source>Free Raw Capacity</source>
        <translation>Free Raw Capacity</translation>
    </message>
    <message>
        <source>Min Member Disk Capacity</source>
        <translation>Min Member Disk Capacity</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
</context>
<context>
    <name>QZynRaidSetMemberDiskItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Serial#</source>
        <translation>Serial#</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Capacity</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Slot#</source>
        <translation>Slot#</translation>
    </message>
    <message>
        <source>Enclosure#</source>
        <translation>Enclosure#</translation>
    </message>
</context>
<context>
    <name>QZynTask</name>
    <message>
        <source>Daily</source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monthly</translation>
    </message>
    <message>
        <source>Monthly(DATE OF WEEK)</source>
        <translation>Monthly(DATE OF WEEK)</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Monday</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Tuesday</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Wednesday</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Thursday</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Friday</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Saturday</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sunday</translation>
    </message>
</context>
<context>
    <name>QZynVolumeSet</name>
    <message>
        <source>Degraded</source>
        <translation>Degraded</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Initializing</translation>
    </message>
    <message>
        <source>Initializing(%1%)</source>
        <translation>Initializing(%1%)</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>Migrating</source>
        <translation>Migrating</translation>
    </message>
    <message>
        <source>Migrating(%1%)</source>
        <translation>Migrating(%1%)</translation>
    </message>
    <message>
        <source>Rebuilding</source>
        <translation>Rebuilding</translation>
    </message>
    <message>
        <source>Rebuilding(%1%)</source>
        <translation>Rebuilding(%1%)</translation>
    </message>
    <message>
        <source>Need Init</source>
        <translation>Need Init</translation>
    </message>
    <message>
        <source>Need Migrate</source>
        <translation>Need Migrate</translation>
    </message>
    <message>
        <source>Need Rebuild</source>
        <translation>Need Rebuild</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Checking</translation>
    </message>
    <message>
        <source>Checking(%1%)</source>
        <translation>Checking(%1%)</translation>
    </message>
    <message>
        <source>Need Check</source>
        <translation>Need Check</translation>
    </message>
    <message>
        <source>Cloning</source>
        <translation>Cloning</translation>
    </message>
    <message>
        <source>Cloning(%1%)</source>
        <translation>Cloning(%1%)</translation>
    </message>
    <message>
        <source>Need Clone</source>
        <translation>Need Clone</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>QZynVolumeSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>RaidSet Name</source>
        <translation>RaidSet Name</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Ch/Id/Lun</source>
        <translation>Ch/Id/Lun</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Capacity</translation>
    </message>
</context>
<context>
    <name>SchedulerItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Next Run Time</source>
        <translation>Next Run Time</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the days of a task&apos;s details</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>At %1 every %2 day(s)</source>
        <translation>At %1 every %2 day(s)</translation>
    </message>
    <message>
        <source>At %1 on %2 of every %3 week(s)</source>
        <translation>At %1 on %2 of every %3 week(s)</translation>
    </message>
    <message>
        <source>At %1 on day %2 of every %3 month(s)</source>
        <translation>At %1 on day %2 of every %3 month(s)</translation>
    </message>
</context>
<context>
    <name>VolumePage</name>
    <message>
        <source>VolumeSet Modification</source>
        <translation>VolumeSet Modification</translation>
    </message>
    <message>
        <source>The volume sets associated with this RAID Set appear for you to have chance to modify RAID Level or Stripe Size</source>
        <translation>The volume sets associated with this RAID Set appear for you to have chance to modify RAID Level or Stripe Size</translation>
    </message>
</context>
<context>
    <name>prefdialog</name>
    <message>
        <source>The settings could not be saved in %1. The new values stay in force until the program ends.</source>
        <translation>The settings could not be saved in %1. The new values stay in force until the program ends.</translation>
    </message>
</context>
<context>
    <name>raiddialog</name>
    <message>
        <source>At most %1 disks can be selected at a time.</source>
        <translation>At most %1 disks can be selected at a time.</translation>
    </message>
</context>
</TS>
