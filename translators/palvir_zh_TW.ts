<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>Console</name>
    <message>
        <source>LocalHost</source>
        <translation>本機</translation>
    </message>
    <message>
        <source>Commands now go to %1 (%2).</source>
        <translation>命令現在送往 %1 (%2)。</translation>
    </message>
    <message>
        <source>Commands now go to %1, serial number %2 (%3).</source>
        <translation>命令現在送往 %1，序號 %2 (%3)。</translation>
    </message>
</context>
<context>
    <name>ControllerWatcher</name>
    <message>
        <source>Controllers appear in the tree as they are found.</source>
        <translation>找到的控制器會顯示在樹狀清單中。</translation>
    </message>
    <message>
        <source>Finding controller...</source>
        <translation>正在尋找控制器...</translation>
    </message>
</context>
<context>
    <name>DialogAddControllerByIP</name>
    <message>
        <source>Connect To Server</source>
        <translation>連線至伺服器</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP 位址</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Please enter a valid IP address.</source>
        <translation>請輸入有效的 IP 位址。</translation>
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
        <translation>可用磁碟</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>建立</translation>
    </message>
    <message>
        <source>New Hot Spare Disk</source>
        <translation>新增熱備援磁碟</translation>
    </message>
    <message>
        <source>Are you sure you want to create hot spare disk?</source>
        <translation>確定要建立熱備援磁碟嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynCreateHotSpare(..), Error = %0.</source>
        <translation>ZynCreateHotSpare(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Hotspare disk(s) have been created successfully.</source>
        <translation>熱備援磁碟已成功建立。</translation>
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
        <translation>可用的 RAID 組</translation>
    </message>
    <message>
        <source>Nested(Hybrid) RAID Level</source>
        <translation>巢狀（混合）RAID 等級</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名稱：</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID 等級：</translation>
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
        <translation>容量：</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Initialization Mode:</source>
        <translation>初始化模式：</translation>
    </message>
    <message>
        <source>Foreground Initialization</source>
        <translation>前景初始化</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>條帶大小：</translation>
    </message>
    <message>
        <source>64 KBytes</source>
        <translation>64 KB</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>快取模式：</translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>回寫</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>建立</translation>
    </message>
    <message>
        <source>New Nested(Hybrid) RAID</source>
        <translation>新增巢狀（混合）RAID</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>最大：</translation>
    </message>
    <message>
        <source>Exceed numbers of volumes allowed.</source>
        <translation>已超過允許的磁碟區數量。</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>確定要建立此磁碟區嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>ZynCreateVolSet(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>磁碟區已成功建立。</translation>
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
        <translation>可用磁碟</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>建立</translation>
    </message>
    <message>
        <source>New Pass Through Disk</source>
        <translation>新增直通磁碟</translation>
    </message>
    <message>
        <source>Are you sure you want to create pass through disk?</source>
        <translation>確定要建立直通磁碟嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynCreatePassthroughDisk(..), Error = %0.</source>
        <translation>ZynCreatePassthroughDisk(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Pass through disk(s) have been created successfully.</source>
        <translation>直通磁碟已成功建立。</translation>
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
        <translation>新 RAID 組資訊</translation>
    </message>
    <message>
        <source>Member Disks:</source>
        <translation>成員磁碟：</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>總原始容量：</translation>
    </message>
    <message>
        <source>Min Member Disk Size:</source>
        <translation>最小成員磁碟大小：</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>可用磁碟</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>建立</translation>
    </message>
    <message>
        <source>New RaidSet</source>
        <translation>新增 RAID 組</translation>
    </message>
    <message>
        <source>Are you sure you want to create this raidset ?</source>
        <translation>確定要建立此 RAID 組嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynCreateRaidSet(..), Error = %0.</source>
        <translation>ZynCreateRaidSet(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>RaidSet has been created successfully.</source>
        <translation>RAID 組已成功建立。</translation>
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
        <translation>新磁碟區資訊</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名稱：</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID 等級：</translation>
    </message>
    <message>
        <source>Raid 0</source>
        <translation>RAID 0</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid 1</source>
        <translation>RAID 1</translation>
    </message>
    <message>
        <source>Raid 3</source>
        <translation>RAID 3</translation>
    </message>
    <message>
        <source>Raid 5</source>
        <translation>RAID 5</translation>
    </message>
    <message>
        <source>Raid 6</source>
        <translation>RAID 6</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>容量：</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Initialization Mode:</source>
        <translation>初始化模式：</translation>
    </message>
    <message>
        <source>Foreground Initialization</source>
        <translation>前景初始化</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>條帶大小：</translation>
    </message>
    <message>
        <source>64 KBytes</source>
        <translation>64 KB</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>快取模式：</translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>回寫</translation>
    </message>
    <message>
        <source>RaidSet Information</source>
        <translation>RAID 組資訊</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>總原始容量：</translation>
    </message>
    <message>
        <source>Free Raw Capacity:</source>
        <translation>可用原始容量：</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>狀態：</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>建立</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>最大：</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>新增磁碟區</translation>
    </message>
    <message>
        <source>Raid 1+0</source>
        <translation>RAID 1+0</translation>
    </message>
    <message>
        <source>Exceed numbers of volumes allowed.</source>
        <translation>已超過允許的磁碟區數量。</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>確定要建立此磁碟區嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>ZynCreateVolSet(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>磁碟區已成功建立。</translation>
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
        <translation>可用熱備援磁碟</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>Delete Hot Spare Disk</source>
        <translation>刪除熱備援磁碟</translation>
    </message>
    <message>
        <source>Are you sure you want to delete hot spare disk?</source>
        <translation>確定要刪除熱備援磁碟嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynDeleteHotSpare(..), Error = %0.</source>
        <translation>ZynDeleteHotSpare(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Hotspare disk(s) have been deleted successfully.</source>
        <translation>熱備援磁碟已成功刪除。</translation>
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
        <translation>可用的巢狀（混合）RAID</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>Delete Nested(Hybrid) RAID</source>
        <translation>刪除巢狀（混合）RAID</translation>
    </message>
    <message>
        <source>ALL DATA IN THESE VOLUMES WILL BE LOST!!!
Are you sure you want to continue ?</source>
        <translation>這些磁碟區中的所有資料都將遺失！！！
確定要繼續嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynDelVolSet(..), Error = %0.</source>
        <translation>ZynDelVolSet(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Nested(Hybrid) RAID(s) have been deleted successfully.</source>
        <translation>巢狀（混合）RAID 已成功刪除。</translation>
    </message>
</context>
<context>
    <name>DialogDiskDetail</name>
    <message>
        <source>Disk Information</source>
        <translation>磁碟資訊</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>資訊</translation>
    </message>
    <message>
        <source>Device Type:</source>
        <translation>裝置類型：</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Device Location:</source>
        <translation>裝置位置：</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>型號名稱：</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>序號：</translation>
    </message>
    <message>
        <source>Firmware Rev:</source>
        <translation>韌體版本：</translation>
    </message>
    <message>
        <source>Disk Capacity:</source>
        <translation>磁碟容量：</translation>
    </message>
    <message>
        <source>Device State:</source>
        <translation>裝置狀態：</translation>
    </message>
    <message>
        <source>Timeout Count:</source>
        <translation>逾時次數：</translation>
    </message>
    <message>
        <source>Media Error Count:</source>
        <translation>媒體錯誤次數：</translation>
    </message>
    <message>
        <source>Device Temperature:</source>
        <translation>裝置溫度：</translation>
    </message>
    <message>
        <source>SMART Read Error Rate:</source>
        <translation>SMART 讀取錯誤率：</translation>
    </message>
    <message>
        <source>SMART Spinup Time</source>
        <translation>SMART 啟動時間</translation>
    </message>
    <message>
        <source>SMART Reallocation Count:</source>
        <translation>SMART 重新配置次數：</translation>
    </message>
    <message>
        <source>SMART Seek Error Rate:</source>
        <translation>SMART 尋軌錯誤率：</translation>
    </message>
    <message>
        <source>SMART Spinup Retries:</source>
        <translation>SMART 啟動重試次數：</translation>
    </message>
    <message>
        <source>SMART Calibration Retries:</source>
        <translation>SMART 校準重試次數：</translation>
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
        <translation>轉速：</translation>
    </message>
    <message>
        <source>%1 RPM</source>
        <translation>%1 RPM</translation>
    </message>
    <message>
        <source>Read Errors Recovered Without Delay:</source>
        <translation>讀取錯誤（無延遲修復）：</translation>
    </message>
    <message>
        <source>Read Errors Recovered With Delay:</source>
        <translation>讀取錯誤（延遲修復）：</translation>
    </message>
    <message>
        <source>Read Errors Recovered With Retry:</source>
        <translation>讀取錯誤（重試修復）：</translation>
    </message>
    <message>
        <source>Read Errors Recovered:</source>
        <translation>讀取錯誤（已修復）：</translation>
    </message>
    <message>
        <source>Read Total Bytes:</source>
        <translation>讀取總位元組數：</translation>
    </message>
    <message>
        <source>Read Errors Unrecovered:</source>
        <translation>讀取錯誤（無法修復）：</translation>
    </message>
    <message>
        <source>Write Errors Recovered Without Delay:</source>
        <translation>寫入錯誤（無延遲修復）：</translation>
    </message>
    <message>
        <source>Write Errors Recovered With Delay:</source>
        <translation>寫入錯誤（延遲修復）：</translation>
    </message>
    <message>
        <source>Write Errors Recovered With Retry:</source>
        <translation>寫入錯誤（重試修復）：</translation>
    </message>
    <message>
        <source>Write Errors Recovered:</source>
        <translation>寫入錯誤（已修復）：</translation>
    </message>
    <message>
        <source>Write Total Bytes:</source>
        <translation>寫入總位元組數：</translation>
    </message>
    <message>
        <source>Write Errors Unrecovered:</source>
        <translation>寫入錯誤（無法修復）：</translation>
    </message>
    <message>
        <source>Verify Errors Recovered Without Delay:</source>
        <translation>驗證錯誤（無延遲修復）：</translation>
    </message>
    <message>
        <source>Verify Errors Recovered With Delay:</source>
        <translation>驗證錯誤（延遲修復）：</translation>
    </message>
    <message>
        <source>Verify Errors Recovered With Retry:</source>
        <translation>驗證錯誤（重試修復）：</translation>
    </message>
    <message>
        <source>Verify Errors Recovered:</source>
        <translation>驗證錯誤（已修復）：</translation>
    </message>
    <message>
        <source>Verify Errors Unrecovered:</source>
        <translation>驗證錯誤（無法修復）：</translation>
    </message>
    <message>
        <source>Non-Medium Errors:</source>
        <translation>非媒體錯誤：</translation>
    </message>
    <message>
        <source>Defect P-List Block Count:</source>
        <translation>缺陷區塊數（P-List）：</translation>
    </message>
    <message>
        <source>Defect G-List Block Count:</source>
        <translation>缺陷區塊數（G-List）：</translation>
    </message>
    <message>
        <source>Enclosure#%1 </source>
        <translation>機箱#%1 </translation>
    </message>
    <message>
        <source>SATA(%1)</source>
        <translation>SATA(%1)</translation>
    </message>
    <message>
        <source>Channel#%1</source>
        <translation>通道#%1</translation>
    </message>
    <message>
        <source>Channel%1
</source>
        <translation>通道%1
</translation>
    </message>
    <message>
        <source>N.A</source>
        <translation>不適用</translation>
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
        <translation>不適用（不適用）</translation>
    </message>
</context>
<context>
    <name>DialogExpandRaidsetWizard</name>
    <message>
        <source>Wizard</source>
        <translation>精靈</translation>
    </message>
    <message>
        <source>RaidSet Information</source>
        <translation>RAID 組資訊</translation>
    </message>
    <message>
        <source>New Member Disks:</source>
        <translation>新成員磁碟：</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>New Raw Capacity:</source>
        <translation>新原始容量：</translation>
    </message>
    <message>
        <source>Min Member Disk Size</source>
        <translation>最小成員磁碟大小</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>可用磁碟</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全選</translation>
    </message>
    <message>
        <source>Volume Set List</source>
        <translation>磁碟區組清單</translation>
    </message>
    <message>
        <source>Expand RaidSet</source>
        <translation>擴充 RAID 組</translation>
    </message>
</context>
<context>
    <name>DialogMailSettings</name>
    <message>
        <source>Email</source>
        <translation>電子郵件</translation>
    </message>
    <message>
        <source>send a test mail</source>
        <translation>傳送測試郵件</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>伺服器：</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>連接埠：</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>寄件者名稱：</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>寄件者地址：</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>驗證</translation>
    </message>
    <message>
        <source>Account:</source>
        <translation>帳號：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼：</translation>
    </message>
    <message>
        <source>Enable SSL</source>
        <translation>啟用 SSL</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>收件者</translation>
    </message>
    <message>
        <source>MailTo1</source>
        <translation>收件者 1</translation>
    </message>
    <message>
        <source>MailTo2</source>
        <translation>收件者 2</translation>
    </message>
    <message>
        <source>MailTo3</source>
        <translation>收件者 3</translation>
    </message>
    <message>
        <source>The test mail has been handed to the mail server connection; see the log for whether it was delivered.</source>
        <translation>測試郵件已交給郵件伺服器連線；是否送達請查看記錄。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>套用</translation>
    </message>
    <message>
        <source>Please enter the account.</source>
        <translation>請輸入帳號。</translation>
    </message>
    <message>
        <source>Please enter the password.</source>
        <translation>請輸入密碼。</translation>
    </message>
    <message>
        <source>Mail Testing</source>
        <translation>郵件測試</translation>
    </message>
    <message>
        <source>Send test mail ?</source>
        <translation>要傳送測試郵件嗎？</translation>
    </message>
    <message>
        <source>Test mail</source>
        <translation>測試郵件</translation>
    </message>
    <message>
        <source>Test mail from %0 %1</source>
        <translation>來自 %0 %1 的測試郵件</translation>
    </message>
    <message>
        <source>Test Mail</source>
        <translation>測試郵件</translation>
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
        <translation>新磁碟區資訊</translation>
    </message>
    <message>
        <source>Total Number Of Disks:</source>
        <translation>磁碟總數：</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID 等級：</translation>
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
        <translation>Raid 1 + 熱備援</translation>
    </message>
    <message>
        <source>Raid 3</source>
        <translation>Raid 3</translation>
    </message>
    <message>
        <source>Raid 3 + Spare</source>
        <translation>Raid 3 + 熱備援</translation>
    </message>
    <message>
        <source>Raid 5</source>
        <translation>Raid 5</translation>
    </message>
    <message>
        <source>Raid 5 + Spare</source>
        <translation>Raid 5 + 熱備援</translation>
    </message>
    <message>
        <source>Raid 6</source>
        <translation>Raid 6</translation>
    </message>
    <message>
        <source>Raid 6 + Spare</source>
        <translation>Raid 6 + 熱備援</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>容量：</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Create Volume</source>
        <translation>建立磁碟區</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>新增磁碟區</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>最大：</translation>
    </message>
    <message>
        <source>MAX: 0 GB</source>
        <translation>最大：0 GB</translation>
    </message>
    <message>
        <source>Raid 1 + 0</source>
        <translation>Raid 1 + 0</translation>
    </message>
    <message>
        <source>Raid 1 + 0 + Spare</source>
        <translation>Raid 1 + 0 + 熱備援</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>確定要建立此磁碟區嗎？</translation>
    </message>
    <message>
        <source>Failed to ZynCreateRaidSet(..), Error = %0.</source>
        <translation>ZynCreateRaidSet(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Failed to ZynCreateHotSpare(..), Error = %0.</source>
        <translation>ZynCreateHotSpare(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>ZynCreateVolSet(..) 失敗，錯誤 = %0。</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>磁碟區已成功建立。</translation>
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
        <translation>SNMP Trap 設定</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #1</source>
        <translation>SNMP Trap IP 位址 #1</translation>
    </message>
    <message>
        <source>Port#</source>
        <translation>連接埠#</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #2</source>
        <translation>SNMP Trap IP 位址 #2</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #3</source>
        <translation>SNMP Trap IP 位址 #3</translation>
    </message>
    <message>
        <source>Community</source>
        <translation>社群</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>套用</translation>
    </message>
</context>
<context>
    <name>DialogScheduler</name>
    <message>
        <source>Scheduler</source>
        <translation>排程器</translation>
    </message>
    <message>
        <source>Task List</source>
        <translation>工作清單</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>新增</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>觸發條件</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>每天</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>每週</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>每月</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>已啟用</translation>
    </message>
    <message>
        <source>Recur every</source>
        <translation>重複間隔</translation>
    </message>
    <message>
        <source>days</source>
        <translation>天</translation>
    </message>
    <message>
        <source>weeks on:</source>
        <translation>週，於：</translation>
    </message>
    <message>
        <source>months on:</source>
        <translation>個月，於：</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>動作</translation>
    </message>
    <message>
        <source>MessageBox</source>
        <translation>訊息方塊</translation>
    </message>
    <message>
        <source>Send Mail</source>
        <translation>傳送郵件</translation>
    </message>
    <message>
        <source>Check Volume</source>
        <translation>檢查磁碟區</translation>
    </message>
    <message>
        <source>Message shows on the message box:</source>
        <translation>訊息方塊顯示的內容：</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>主旨：</translation>
    </message>
    <message>
        <source>Message:</source>
        <translation>內容：</translation>
    </message>
    <message>
        <source>Include remote side controller(s)</source>
        <translation>包含遠端控制器</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>電子郵件設定</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>套用</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please select days!!</source>
        <translation>請選擇日期！！</translation>
    </message>
    <message>
        <source>Please input message box text!!</source>
        <translation>請輸入訊息方塊的文字！！</translation>
    </message>
    <message>
        <source>Please input mail subject!!</source>
        <translation>請輸入郵件主旨！！</translation>
    </message>
    <message>
        <source>Please input mail message!!</source>
        <translation>請輸入郵件內容！！</translation>
    </message>
    <message>
        <source>Max tasks count = 5</source>
        <translation>工作數量上限 = 5</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>工作名稱：</translation>
    </message>
    <message>
        <source>Please enter task name!!</source>
        <translation>請輸入工作名稱！！</translation>
    </message>
    <message>
        <source>Task name already exists!!</source>
        <translation>工作名稱已存在！！</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this task ?</source>
        <translation>確定要刪除此工作嗎？</translation>
    </message>
</context>
<context>
    <name>DialogSetup</name>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>General</source>
        <translation>一般</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>介面</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>語言</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>通知</translation>
    </message>
    <message>
        <source>Notification Level</source>
        <translation>通知等級</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>資訊</translation>
    </message>
    <message>
        <source>Serious</source>
        <translation>嚴重</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>緊急</translation>
    </message>
    <message>
        <source>By Email</source>
        <translation>以電子郵件</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>電子郵件設定</translation>
    </message>
    <message>
        <source>Attach log file on event level SERIOUS or URGENT</source>
        <translation>事件等級為嚴重或緊急時附加記錄檔</translation>
    </message>
    <message>
        <source>By SNMP Trap</source>
        <translation>以 SNMP Trap</translation>
    </message>
    <message>
        <source>SNMP Trap Settings</source>
        <translation>SNMP Trap 設定</translation>
    </message>
    <message>
        <source>By Message Window</source>
        <translation>以訊息視窗</translation>
    </message>
    <message>
        <source>By System Log</source>
        <translation>以系統記錄</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>套用</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>The language has been changed, please restart Palvir to take effect</source>
        <translation>語言已變更，請重新啟動 Palvir 以生效</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1. The language you chose is lost: it would take effect only after a restart. The other new values stay in force until the program ends.</source>
        <translation>無法將設定儲存到 %1。您選擇的語言將會遺失：它要在重新啟動後才會生效。其他新的設定值在程式結束前仍然有效。</translation>
    </message>
</context>
<context>
    <name>FinalPage</name>
    <message>
        <source>Summary</source>
        <translation>摘要</translation>
    </message>
    <message>
        <source>The information of raidset expansion</source>
        <translation>RAID 組擴充資訊</translation>
    </message>
</context>
<context>
    <name>FreeDiskPage</name>
    <message>
        <source>Expansion</source>
        <translation>擴充</translation>
    </message>
    <message>
        <source>Raid Set expansion is a quite critical process, we strongly recommend customer backup data before expand. Unexpected accident may cause serious data corruption.</source>
        <translation>RAID 組擴充是相當關鍵的程序，強烈建議您在擴充前先備份資料。意外狀況可能導致嚴重的資料損毀。</translation>
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
        <translation>全部展開</translation>
    </message>
    <message>
        <source>Please select a &quot;Controller&quot;,&quot;RaidSet&quot; or &quot;VolumeSet&quot; to continue...</source>
        <translation>請選擇「控制器」、「RAID 組」或「磁碟區組」以繼續...</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>概觀</translation>
    </message>
    <message>
        <source>General</source>
        <translation>一般</translation>
    </message>
    <message>
        <source>Manufacturer:</source>
        <translation>製造商：</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>型號名稱：</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>韌體版本：</translation>
    </message>
    <message>
        <source>BootROM Version:</source>
        <translation>BootROM 版本：</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>序號：</translation>
    </message>
    <message>
        <source>Resources</source>
        <translation>資源</translation>
    </message>
    <message>
        <source>CPU Speed:</source>
        <translation>CPU 速度：</translation>
    </message>
    <message>
        <source>Memory:</source>
        <translation>記憶體：</translation>
    </message>
    <message>
        <source>Beeper:</source>
        <translation>蜂鳴器：</translation>
    </message>
    <message>
        <source>DHCP:</source>
        <translation>DHCP：</translation>
    </message>
    <message>
        <source>Ethernet:</source>
        <translation>乙太網路：</translation>
    </message>
    <message>
        <source>MAC Address:</source>
        <translation>MAC 位址：</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP 位址：</translation>
    </message>
    <message>
        <source>Quick Create</source>
        <translation>快速建立</translation>
    </message>
    <message>
        <source>Create a default raidset with all free disks and a default volume</source>
        <translation>以所有可用磁碟建立預設 RAID 組及預設磁碟區</translation>
    </message>
    <message>
        <source>Create RaidSet</source>
        <translation>建立 RAID 組</translation>
    </message>
    <message>
        <source>Create a new raidset</source>
        <translation>建立新的 RAID 組</translation>
    </message>
    <message>
        <source>Create Nested(Hybrid) RAID</source>
        <translation>建立巢狀（混合）RAID</translation>
    </message>
    <message>
        <source>Create Raid00/100/30/50/60</source>
        <translation>建立 RAID 00/100/30/50/60</translation>
    </message>
    <message>
        <source>Create HotSpare Disk</source>
        <translation>建立熱備援磁碟</translation>
    </message>
    <message>
        <source>Create a global hot spare disk</source>
        <translation>建立全域熱備援磁碟</translation>
    </message>
    <message>
        <source>Create PassThrough Disk</source>
        <translation>建立直通磁碟</translation>
    </message>
    <message>
        <source>Create one or more pass through disk</source>
        <translation>建立一個或多個直通磁碟</translation>
    </message>
    <message>
        <source>Delete Nested(Hybrid) RAID</source>
        <translation>刪除巢狀（混合）RAID</translation>
    </message>
    <message>
        <source>Delete Raid00/100/30/50/60</source>
        <translation>刪除 RAID 00/100/30/50/60</translation>
    </message>
    <message>
        <source>Delete HotSpare Disk</source>
        <translation>刪除熱備援磁碟</translation>
    </message>
    <message>
        <source>Delete a global hotspare disk</source>
        <translation>刪除全域熱備援磁碟</translation>
    </message>
    <message>
        <source>Advanced Features</source>
        <translation>進階功能</translation>
    </message>
    <message>
        <source>Launch browser to do advance settings</source>
        <translation>開啟瀏覽器進行進階設定</translation>
    </message>
    <message>
        <source>Mute Beeper</source>
        <translation>蜂鳴器靜音</translation>
    </message>
    <message>
        <source>RaidSets</source>
        <translation>RAID 組</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>磁碟區</translation>
    </message>
    <message>
        <source>Disks</source>
        <translation>磁碟</translation>
    </message>
    <message>
        <source>H/W Monitor</source>
        <translation>硬體監控</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>事件</translation>
    </message>
    <message>
        <source>Event Level</source>
        <translation>事件等級</translation>
    </message>
    <message>
        <source>Informational</source>
        <translation>資訊</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Serious</source>
        <translation>嚴重</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>緊急</translation>
    </message>
    <message>
        <source>CLI</source>
        <translation>命令列</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名稱：</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>總原始容量：</translation>
    </message>
    <message>
        <source>Member Disks:</source>
        <translation>成員磁碟：</translation>
    </message>
    <message>
        <source>Free Raw Capacity:</source>
        <translation>可用原始容量：</translation>
    </message>
    <message>
        <source>Supported Volumes:</source>
        <translation>支援的磁碟區：</translation>
    </message>
    <message>
        <source>Min Member Disk Size:</source>
        <translation>最小成員磁碟大小：</translation>
    </message>
    <message>
        <source>Current Volumes:</source>
        <translation>目前的磁碟區：</translation>
    </message>
    <message>
        <source>Raid Set State:</source>
        <translation>RAID 組狀態：</translation>
    </message>
    <message>
        <source>Create Volume</source>
        <translation>建立磁碟區</translation>
    </message>
    <message>
        <source>Create a new volume</source>
        <translation>建立新的磁碟區</translation>
    </message>
    <message>
        <source>Delete This RaidSet</source>
        <translation>刪除此 RAID 組</translation>
    </message>
    <message>
        <source>Delete current raidset</source>
        <translation>刪除目前的 RAID 組</translation>
    </message>
    <message>
        <source>Create a raidset-dedicated hot spare disk</source>
        <translation>建立 RAID 組專用熱備援磁碟</translation>
    </message>
    <message>
        <source>Delete a raidset-dedicated hotspare disk</source>
        <translation>刪除 RAID 組專用熱備援磁碟</translation>
    </message>
    <message>
        <source>Expand RaidSet</source>
        <translation>擴充 RAID 組</translation>
    </message>
    <message>
        <source>Expand an exist raidset</source>
        <translation>擴充現有的 RAID 組</translation>
    </message>
    <message>
        <source>Activate Incomplete RaidSet</source>
        <translation>啟用不完整的 RAID 組</translation>
    </message>
    <message>
        <source>Activate an incomplete raidset</source>
        <translation>啟用不完整的 RAID 組</translation>
    </message>
    <message>
        <source>Member Disk</source>
        <translation>成員磁碟</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>條帶大小：</translation>
    </message>
    <message>
        <source>Raid Set Name:</source>
        <translation>RAID 組名稱：</translation>
    </message>
    <message>
        <source>Block Size:</source>
        <translation>區塊大小：</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>快取模式：</translation>
    </message>
    <message>
        <source>Volume Capacity:</source>
        <translation>磁碟區容量：</translation>
    </message>
    <message>
        <source>Write Protection:</source>
        <translation>寫入保護：</translation>
    </message>
    <message>
        <source>SCSI Ch/Id/Lun:</source>
        <translation>SCSI 通道/ID/LUN：</translation>
    </message>
    <message>
        <source>Tagged Queuing:</source>
        <translation>標記佇列：</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID 等級：</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>狀態：</translation>
    </message>
    <message>
        <source>Delete This Volume</source>
        <translation>刪除此磁碟區</translation>
    </message>
    <message>
        <source>Delete current volume</source>
        <translation>刪除目前的磁碟區</translation>
    </message>
    <message>
        <source>Recent Tasks</source>
        <translation>最近的工作</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>偏好設定</translation>
    </message>
    <message>
        <source>State</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>來源</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>訊息</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>最小化(&amp;N)</translation>
    </message>
    <message>
        <source>Ma&amp;ximize</source>
        <translation>最大化(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>還原(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>結束(&amp;Q)</translation>
    </message>
    <message>
        <source>tray icon</source>
        <translation>系統匣圖示</translation>
    </message>
    <message>
        <source>About %0</source>
        <translation>關於 %0</translation>
    </message>
    <message>
        <source>&lt;h2&gt;%0 %1&lt;/h2&gt;&lt;p&gt;Zynlib: %2&lt;/p&gt;&lt;p&gt;PWD: %3&lt;/p&gt;&lt;p&gt;It finds the controllers of this computer and of the network, shows what they hold and tells you of their events.&lt;/p&gt;&lt;p&gt;%4 is an application that manages Varnel RAID Controllers.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;%0 %1&lt;/h2&gt;&lt;p&gt;Zynlib：%2&lt;/p&gt;&lt;p&gt;PWD：%3&lt;/p&gt;&lt;p&gt;它會尋找本機與網路上的控制器，顯示其內容並通知您其事件。&lt;/p&gt;&lt;p&gt;%4 是管理 Varnel RAID 控制器的應用程式。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Close Confirmation?</source>
        <translation>確認關閉？</translation>
    </message>
    <message>
        <source>Are you sure you want to exit?</source>
        <translation>確定要結束嗎？</translation>
    </message>
    <message>
        <source>Connect to remote controller via IP address</source>
        <translation>透過 IP 位址連線至遠端控制器</translation>
    </message>
    <message>
        <source>Disconnect remote controller</source>
        <translation>中斷遠端控制器連線</translation>
    </message>
    <message>
        <source>File</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>說明</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編輯</translation>
    </message>
    <message>
        <source>RAID Operations</source>
        <translation>RAID 操作</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>About</source>
        <translation>關於</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>連線</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>中斷連線</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Scheduler</source>
        <translation>排程器</translation>
    </message>
    <message>
        <source>Create a default raidset and volume</source>
        <translation>建立預設 RAID 組及磁碟區</translation>
    </message>
    <message>
        <source>New RaidSet</source>
        <translation>新增 RAID 組</translation>
    </message>
    <message>
        <source>New Nested RAID</source>
        <translation>新增巢狀 RAID</translation>
    </message>
    <message>
        <source>Add a new nested RAID</source>
        <translation>新增巢狀 RAID</translation>
    </message>
    <message>
        <source>Delete Nested RAID</source>
        <translation>刪除巢狀 RAID</translation>
    </message>
    <message>
        <source>Delete a nested RAID</source>
        <translation>刪除巢狀 RAID</translation>
    </message>
    <message>
        <source>Delete RaidSet</source>
        <translation>刪除 RAID 組</translation>
    </message>
    <message>
        <source>Delete raidset</source>
        <translation>刪除 RAID 組</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>新增磁碟區</translation>
    </message>
    <message>
        <source>Delete Volume</source>
        <translation>刪除磁碟區</translation>
    </message>
    <message>
        <source>Delete volume</source>
        <translation>刪除磁碟區</translation>
    </message>
    <message>
        <source>New Hot Spare</source>
        <translation>新增熱備援</translation>
    </message>
    <message>
        <source>Create a new hot spare</source>
        <translation>建立新的熱備援</translation>
    </message>
    <message>
        <source>Delete Hot Spare</source>
        <translation>刪除熱備援</translation>
    </message>
    <message>
        <source>Delete hot spare</source>
        <translation>刪除熱備援</translation>
    </message>
    <message>
        <source>New Pass-Through Disk</source>
        <translation>新增直通磁碟</translation>
    </message>
    <message>
        <source>Create a new pass through disk</source>
        <translation>建立新的直通磁碟</translation>
    </message>
    <message>
        <source>Mute beeper</source>
        <translation>蜂鳴器靜音</translation>
    </message>
    <message>
        <source>Save Controller Settings...</source>
        <translation>儲存控制器設定...</translation>
    </message>
    <message>
        <source>Save RAID controller settings to file</source>
        <translation>將 RAID 控制器設定儲存至檔案</translation>
    </message>
    <message>
        <source>Restore Controller Settings...</source>
        <translation>還原控制器設定...</translation>
    </message>
    <message>
        <source>Restore RAID controller settings from file</source>
        <translation>從檔案還原 RAID 控制器設定</translation>
    </message>
    <message>
        <source>Collect Controller Data...</source>
        <translation>收集控制器資料...</translation>
    </message>
    <message>
        <source>Collect RAID controller data to file</source>
        <translation>將 RAID 控制器資料收集至檔案</translation>
    </message>
    <message>
        <source>Rescan Device</source>
        <translation>重新掃描裝置</translation>
    </message>
    <message>
        <source>Rescan Device(LAN)</source>
        <translation>重新掃描裝置（區域網路）</translation>
    </message>
    <message>
        <source>Delete ( %0 )</source>
        <translation>刪除 ( %0 )</translation>
    </message>
    <message>
        <source>Delete (%0) from (%1)</source>
        <translation>從 (%1) 刪除 (%0)</translation>
    </message>
    <message>
        <source>Save Setting File - %0</source>
        <translation>儲存設定檔 - %0</translation>
    </message>
    <message>
        <source>Failed to save the setting to file %0 </source>
        <translation>無法將設定儲存至檔案 %0 </translation>
    </message>
    <message>
        <source>Setting has been saved to file %0 </source>
        <translation>設定已儲存至檔案 %0 </translation>
    </message>
    <message>
        <source>Open Setting File - %0</source>
        <translation>開啟設定檔 - %0</translation>
    </message>
    <message>
        <source>Failed to restore settings</source>
        <translation>無法還原設定</translation>
    </message>
    <message>
        <source>Settings have been restored, please restart controller to take effect</source>
        <translation>設定已還原，請重新啟動控制器以生效</translation>
    </message>
    <message>
        <source>Failed to collect data</source>
        <translation>無法收集資料</translation>
    </message>
    <message>
        <source>Data has been saved to file %0 </source>
        <translation>資料已儲存至檔案 %0 </translation>
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
        <source>And %1 more events.</source>
        <translation>另有 %1 個事件。</translation>
    </message>
    <message>
        <source>%0 GB</source>
        <translation>%0 GB</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>已啟用</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>已停用</translation>
    </message>
    <message>
        <source>RaidSets </source>
        <translation>RAID 組 </translation>
    </message>
    <message>
        <source>Volumes </source>
        <translation>磁碟區 </translation>
    </message>
    <message>
        <source>Disks </source>
        <translation>磁碟 </translation>
    </message>
    <message>
        <source>(%0/%1)</source>
        <translation>(%0/%1)</translation>
    </message>
    <message>
        <source>Supported</source>
        <translation>支援</translation>
    </message>
    <message>
        <source>Unsupported</source>
        <translation>不支援</translation>
    </message>
    <message>
        <source>LocalHost: %0</source>
        <translation>本機：%0</translation>
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
        <translation>成員磁碟 </translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>回寫</translation>
    </message>
    <message>
        <source>Write Through</source>
        <translation>直寫</translation>
    </message>
    <message>
        <source>%0 KB</source>
        <translation>%0 KB</translation>
    </message>
    <message>
        <source>512 Bytes</source>
        <translation>512 位元組</translation>
    </message>
    <message>
        <source>No Disk Available</source>
        <translation>沒有可用的磁碟</translation>
    </message>
    <message>
        <source>Raid Set Already Exist</source>
        <translation>RAID 組已存在</translation>
    </message>
    <message>
        <source>No Disks Available For RaidSet</source>
        <translation>沒有可用於 RAID 組的磁碟</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this passthrough disk ?</source>
        <translation>確定要移除此直通磁碟嗎？</translation>
    </message>
    <message>
        <source>Failed to remove %1, Error = %2.</source>
        <translation>無法移除 %1，錯誤 = %2。</translation>
    </message>
    <message>
        <source>%1 has been removed successfully.</source>
        <translation>%1 已成功移除。</translation>
    </message>
    <message>
        <source>Failed to delete %1, please delete Raid30/50/60 volume first.</source>
        <translation>無法刪除 %1，請先刪除 RAID 30/50/60 磁碟區。</translation>
    </message>
    <message>
        <source>ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!
Are you sure you want to delete this raidset ?</source>
        <translation>此 RAID 組中的所有磁碟區也將一併刪除！！！
確定要刪除此 RAID 組嗎？</translation>
    </message>
    <message>
        <source>Failed to delete %1, Error = %2.</source>
        <translation>無法刪除 %1，錯誤 = %2。</translation>
    </message>
    <message>
        <source>%1 has been deleted successfully.</source>
        <translation>%1 已成功刪除。</translation>
    </message>
    <message>
        <source>RaidSet Already Active</source>
        <translation>RAID 組已啟用</translation>
    </message>
    <message>
        <source>Failed to activate %1, Error = %2.</source>
        <translation>無法啟用 %1，錯誤 = %2。</translation>
    </message>
    <message>
        <source>%1 has been activated successfully.
Note: Create a &quot;Hot Spare Disk&quot; to rebuild the raidset!!</source>
        <translation>%1 已成功啟用。
注意：請建立「熱備援磁碟」以重建 RAID 組！！</translation>
    </message>
    <message>
        <source>%1 is not in normal state!!</source>
        <translation>%1 不在正常狀態！！</translation>
    </message>
    <message>
        <source>No Space For Volume</source>
        <translation>沒有可用於磁碟區的空間</translation>
    </message>
    <message>
        <source>ALL DATA IN THIS VOLUME WILL BE LOST!!!
Are you sure you want to delete this volume ?</source>
        <translation>此磁碟區中的所有資料都將遺失！！！
確定要刪除此磁碟區嗎？</translation>
    </message>
    <message>
        <source>Are you sure you want to stop the volume checking ?</source>
        <translation>確定要停止磁碟區檢查嗎？</translation>
    </message>
    <message>
        <source>Failed to stop volume checking, Error = %1.</source>
        <translation>無法停止磁碟區檢查，錯誤 = %1。</translation>
    </message>
    <message>
        <source>%1 has been stopped volume checking successfully.</source>
        <translation>已成功停止 %1 的磁碟區檢查。</translation>
    </message>
    <message>
        <source>No Disks Available For Hot Spare</source>
        <translation>沒有可用於熱備援的磁碟</translation>
    </message>
    <message>
        <source>No Hot Spare Available</source>
        <translation>沒有可用的熱備援</translation>
    </message>
    <message>
        <source>No Disks Available For Pass Through</source>
        <translation>沒有可用於直通的磁碟</translation>
    </message>
    <message>
        <source>Execute Task(%0)</source>
        <translation>執行工作(%0)</translation>
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
        <source>No web browser could be opened; please open %1 by hand.</source>
        <translation>無法開啟網頁瀏覽器；請自行開啟 %1。</translation>
    </message>
</context>
<context>
    <name>PasswordGate</name>
    <message>
        <source>Password:</source>
        <translation>密碼：</translation>
    </message>
    <message>
        <source>Invalid Password!!</source>
        <translation>密碼無效！！</translation>
    </message>
</context>
<context>
    <name>QControllerItemModel</name>
    <message>
        <source>LocalHost</source>
        <translation>本機</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>網路</translation>
    </message>
    <message>
        <source>Controller Hierarchy</source>
        <translation>控制器階層</translation>
    </message>
</context>
<context>
    <name>QExpandVolumeSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>New Raid Level</source>
        <translation>新 RAID 等級</translation>
    </message>
    <message>
        <source>New Stripe Size</source>
        <translation>新條帶大小</translation>
    </message>
    <message>
        <source>Ch/Id/Lun</source>
        <translation>通道/ID/LUN</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>容量</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Loading modules...</source>
        <translation>正在載入模組...</translation>
    </message>
</context>
<context>
    <name>QZynDisk</name>
    <message>
        <source>Offlined</source>
        <translation>已離線</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>JBOD</source>
        <translation>JBOD</translation>
    </message>
    <message>
        <source>Pass Through</source>
        <translation>直通</translation>
    </message>
    <message>
        <source>HotSpare[Global]</source>
        <translation>熱備援[全域]</translation>
    </message>
    <message>
        <source>HotSpare[%0]</source>
        <translation>熱備援[%0]</translation>
    </message>
    <message>
        <source>HotSpare[Enclosure]</source>
        <translation>熱備援[機箱]</translation>
    </message>
    <message>
        <source>HotSpare[Unknown]</source>
        <translation>熱備援[未知]</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>可用</translation>
    </message>
</context>
<context>
    <name>QZynDiskItemModel</name>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Serial#</source>
        <translation>序號</translation>
    </message>
    <message>
        <source>Firmware Rev.</source>
        <translation>韌體版本</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>容量</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>用途</translation>
    </message>
    <message>
        <source>State</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>Slot#</source>
        <translation>插槽#</translation>
    </message>
    <message>
        <source>Enclsoure#%1: %2</source>
        <translation>機箱#%1：%2</translation>
    </message>
</context>
<context>
    <name>QZynEventItemModel</name>
    <message>
        <source>State</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>DateTime</source>
        <translation>日期時間</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>裝置</translation>
    </message>
    <message>
        <source>Event Type</source>
        <translation>事件類型</translation>
    </message>
    <message>
        <source>Elapse Time</source>
        <translation>經過時間</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>錯誤</translation>
    </message>
</context>
<context>
    <name>QZynHost</name>
    <message>
        <source>%1 connected.</source>
        <translation>%1 已連線。</translation>
    </message>
    <message>
        <source>%1 disconnected.</source>
        <translation>%1 已中斷連線。</translation>
    </message>
    <message>
        <source>No controller found at %0</source>
        <translation>在 %0 找不到控制器</translation>
    </message>
    <message>
        <source>No controller found</source>
        <translation>找不到控制器</translation>
    </message>
    <message>
        <source>No controller found in slot %1</source>
        <translation>在插槽 %1 找不到控制器</translation>
    </message>
</context>
<context>
    <name>QZynHwMonitorItemModel</name>
    <message>
        <source>FAILED</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Not Installed</source>
        <translation>未安裝</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>感測器</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>數值</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Enclosure#%1 : %2</source>
        <translation>機箱#%1：%2</translation>
    </message>
    <message>
        <source>Controller H/W Monitor</source>
        <translation>控制器硬體監控</translation>
    </message>
    <message>
        <source>Controller Temp</source>
        <translation>控制器溫度</translation>
    </message>
    <message>
        <source>N.A.</source>
        <translation>無</translation>
    </message>
    <message>
        <source>Fan#%1 Speed</source>
        <translation>風扇#%1 轉速</translation>
    </message>
    <message>
        <source>HDD#%1 Temp.</source>
        <translation>硬碟#%1 溫度</translation>
    </message>
    <message>
        <source>Battery Status</source>
        <translation>電池狀態</translation>
    </message>
    <message>
        <source>Power +%1V</source>
        <translation>電源 +%1V</translation>
    </message>
</context>
<context>
    <name>QZynRaidSet</name>
    <message>
        <source>Unkonwn</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Incomplete</source>
        <translation>不完整</translation>
    </message>
    <message>
        <source>Degraded</source>
        <translation>降級</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>初始化中</translation>
    </message>
    <message>
        <source>Migrating</source>
        <translation>遷移中</translation>
    </message>
    <message>
        <source>Rebuilding</source>
        <translation>重建中</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>檢查中</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
</context>
<context>
    <name>QZynRaidSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Member Disk</source>
        <translation>成員磁碟</translation>
    </message>
    <message>
        <source>Total Raw Capacity</source>
        <translation>總原始容量</translation>
    </message>
    <message>
        <source>Free Raw Capacity</source>
        <translation>可用原始容量</translation>
    </message>
    <message>
        <source>Min Member Disk Capacity</source>
        <translation>最小成員磁碟容量</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>磁碟區</translation>
    </message>
    <message>
        <source>State</source>
        <translation>狀態</translation>
    </message>
</context>
<context>
    <name>QZynRaidSetMemberDiskItemModel</name>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Serial#</source>
        <translation>序號</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>容量</translation>
    </message>
    <message>
        <source>State</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>Slot#</source>
        <translation>插槽#</translation>
    </message>
    <message>
        <source>Enclosure#</source>
        <translation>機箱#</translation>
    </message>
</context>
<context>
    <name>QZynTask</name>
    <message>
        <source>Daily</source>
        <translation>每日</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>每週</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>每月</translation>
    </message>
    <message>
        <source>Monthly(DATE OF WEEK)</source>
        <translation>每月(依星期)</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>星期一</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>星期二</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>星期三</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>星期四</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>星期五</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>星期六</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>星期日</translation>
    </message>
</context>
<context>
    <name>QZynVolumeSet</name>
    <message>
        <source>Degraded</source>
        <translation>降級</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>初始化中</translation>
    </message>
    <message>
        <source>Initializing(%1%)</source>
        <translation>初始化中(%1%)</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Migrating</source>
        <translation>遷移中</translation>
    </message>
    <message>
        <source>Migrating(%1%)</source>
        <translation>遷移中(%1%)</translation>
    </message>
    <message>
        <source>Rebuilding</source>
        <translation>重建中</translation>
    </message>
    <message>
        <source>Rebuilding(%1%)</source>
        <translation>重建中(%1%)</translation>
    </message>
    <message>
        <source>Need Init</source>
        <translation>需要初始化</translation>
    </message>
    <message>
        <source>Need Migrate</source>
        <translation>需要遷移</translation>
    </message>
    <message>
        <source>Need Rebuild</source>
        <translation>需要重建</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>檢查中</translation>
    </message>
    <message>
        <source>Checking(%1%)</source>
        <translation>檢查中(%1%)</translation>
    </message>
    <message>
        <source>Need Check</source>
        <translation>需要檢查</translation>
    </message>
    <message>
        <source>Cloning</source>
        <translation>複製中</translation>
    </message>
    <message>
        <source>Cloning(%1%)</source>
        <translation>複製中(%1%)</translation>
    </message>
    <message>
        <source>Need Clone</source>
        <translation>需要複製</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
<context>
    <name>QZynVolumeSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>RaidSet Name</source>
        <translation>RAID 組名稱</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>等級</translation>
    </message>
    <message>
        <source>State</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>Ch/Id/Lun</source>
        <translation>通道/ID/LUN</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>容量</translation>
    </message>
</context>
<context>
    <name>SchedulerItemModel</name>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>觸發條件</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>詳細資料</translation>
    </message>
    <message>
        <source>Next Run Time</source>
        <translation>下次執行時間</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>狀態</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>已停用</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>已啟用</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the days of a task&apos;s details</comment>
        <translation>、</translation>
    </message>
    <message>
        <source>At %1 every %2 day(s)</source>
        <translation>每 %2 天的 %1</translation>
    </message>
    <message>
        <source>At %1 on %2 of every %3 week(s)</source>
        <translation>每 %3 週的%2 %1</translation>
    </message>
    <message>
        <source>At %1 on day %2 of every %3 month(s)</source>
        <translation>每 %3 個月的第 %2 日 %1</translation>
    </message>
</context>
<context>
    <name>VolumePage</name>
    <message>
        <source>VolumeSet Modification</source>
        <translation>磁碟區組修改</translation>
    </message>
    <message>
        <source>The volume sets associated with this RAID Set appear for you to have chance to modify RAID Level or Stripe Size</source>
        <translation>此處列出與此 RAID 組相關的磁碟區組，讓您有機會修改 RAID 等級或條帶大小</translation>
    </message>
</context>
<context>
    <name>prefdialog</name>
    <message>
        <source>The settings could not be saved in %1. The new values stay in force until the program ends.</source>
        <translation>無法將設定儲存到 %1。新的設定值在程式結束前仍然有效。</translation>
    </message>
</context>
<context>
    <name>raiddialog</name>
    <message>
        <source>At most %1 disks can be selected at a time.</source>
        <translation>一次最多只能選擇 %1 個磁碟。</translation>
    </message>
</context>
</TS>
