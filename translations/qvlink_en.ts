<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CoreText</name>
    <message>
        <source>通信状态提示</source>
        <translation>Link status</translation>
    </message>
    <message>
        <source>仪表型号</source>
        <translation>Meter model</translation>
    </message>
    <message>
        <source>仪表工作状态</source>
        <translation>Meter mode</translation>
    </message>
    <message>
        <source>DMM记录间隔</source>
        <translation>DMM record interval</translation>
    </message>
    <message>
        <source>搜索有效的通信口并检查电缆是否插上</source>
        <translation>Searching the ports; check that the cable is plugged in</translation>
    </message>
    <message>
        <source>通信电缆未连接，通信无法建立</source>
        <translation>Cable not connected, no link</translation>
    </message>
    <message>
        <source>通信已断开</source>
        <translation>Link lost</translation>
    </message>
    <message>
        <source>通信电缆已连接在%1，通信已建立</source>
        <translation>Cable connected to %1, link established</translation>
    </message>
    <message>
        <source>通信电缆未连接在%1，通信无法建立</source>
        <translation>Cable not connected to %1, no link</translation>
    </message>
    <message>
        <source>仪表型号: %1</source>
        <translation>Model: %1</translation>
    </message>
    <message>
        <source>工作模式: DMM</source>
        <translation>Mode: DMM</translation>
    </message>
    <message>
        <source>工作模式: DMM mem</source>
        <translation>Mode: DMM mem</translation>
    </message>
    <message>
        <source>工作模式: DSO</source>
        <translation>Mode: DSO</translation>
    </message>
    <message>
        <source>工作模式: DSO mem</source>
        <translation>Mode: DSO mem</translation>
    </message>
    <message>
        <source>数据间隔%1s</source>
        <translation>Interval %1 s</translation>
    </message>
    <message>
        <source>%1 已断开，进行中的接收已丢弃；设备回来时通信自动恢复</source>
        <translation>%1 went away; what was under way was dropped; the link comes back when the device does</translation>
    </message>
    <message>
        <source>%1 已断开，进行中的接收已丢弃；伪终端的名称不会再打开：任何程序的下一个终端都可能占用它</source>
        <translation>%1 went away; what was under way was dropped; a pseudo-terminal&apos;s name is not opened again: the next terminal of any program may take it</translation>
    </message>
    <message>
        <source>%1 已断开，进行中的接收已丢弃</source>
        <translation>%1 went away; what was under way was dropped</translation>
    </message>
    <message>
        <source>没有指定设备: 无法打开</source>
        <translation>No device named: cannot open</translation>
    </message>
    <message>
        <source>%1: 无法打开 (%2)</source>
        <translation>%1: cannot open (%2)</translation>
    </message>
    <message>
        <source>%1: 无法打开</source>
        <translation>%1: cannot open</translation>
    </message>
    <message>
        <source>%1 (上次选择的设备)</source>
        <translation>%1 (the device chosen last time)</translation>
    </message>
    <message>
        <source>%1 已出现: 通信已建立</source>
        <translation>%1 appeared: link established</translation>
    </message>
    <message>
        <source>%1 已恢复: 通信重新建立</source>
        <translation>%1 is back: link established again</translation>
    </message>
    <message>
        <source>QM520V示波表PC接口软件 V1.1</source>
        <translation>QM520V scope-meter PC interface software V1.1</translation>
    </message>
    <message>
        <source>QM520W</source>
        <translation>QM520W</translation>
    </message>
    <message>
        <source>仪表当前工作在%1模式，要将程序切换到%1模式吗?</source>
        <translation>The meter is working in %1 mode. Switch the program to %1 mode?</translation>
    </message>
    <message>
        <source>QVLK: 请注意工作模式</source>
        <translation>QVLK: Note the work mode</translation>
    </message>
    <message>
        <source>是否保存当前数据！</source>
        <translation>Save the current data?</translation>
    </message>
    <message>
        <source>请确认操作</source>
        <translation>Please confirm</translation>
    </message>
    <message>
        <source>%1 已经存在。要替换它吗?</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>%1 文件格式不正确 (%2)</source>
        <translation>%1: File format not recognised (%2)</translation>
    </message>
    <message>
        <source>%1 文件格式不正确</source>
        <translation>%1: File format not recognised</translation>
    </message>
    <message>
        <source>%1 保存失败: %2</source>
        <translation>%1: Save failed: %2</translation>
    </message>
    <message>
        <source>这是DMM记录文件: 请在 Record &gt; Trend… 窗口中用“打开文件…”打开。</source>
        <translation>This is a DMM record file: open it with “Open file…” in the Record &gt; Trend… window.</translation>
    </message>
    <message>
        <source>恢复上次未保存的记录? (%1 行, %2 – %3)</source>
        <translation>Recover the record not saved last time? (%1 lines, %2 – %3)</translation>
    </message>
    <message>
        <source>恢复上次未保存的记录? (%1 行, %2)</source>
        <translation>Recover the record not saved last time? (%1 lines, %2)</translation>
    </message>
    <message>
        <source>恢复上次未保存的记录? (%1 行)</source>
        <translation>Recover the record not saved last time? (%1 lines)</translation>
    </message>
    <message>
        <source>DSO波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*</source>
        <translation>DSO waveform files(*.dso)|*.dso|Text files(*.txt)|*.txt|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*</source>
        <translation>Waveform files(*.dso)|*.dso|Text files(*.txt)|*.txt|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>DSO波形文件(*.dso)|*.dso|所有文件(*.*)|*.*</source>
        <translation>DSO waveform files(*.dso)|*.dso|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>DMM文档文件(*.txt)|*.txt|所有文件(*.*)|*.*</source>
        <translation>DMM text files(*.txt)|*.txt|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*</source>
        <translation>CSV files(*.csv)|*.csv|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>PNG图片(*.png)|*.png|所有文件(*.*)|*.*</source>
        <translation>PNG pictures(*.png)|*.png|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>SVG图片(*.svg)|*.svg|所有文件(*.*)|*.*</source>
        <translation>SVG pictures(*.svg)|*.svg|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>PDF文档(*.pdf)|*.pdf|所有文件(*.*)|*.*</source>
        <translation>PDF documents(*.pdf)|*.pdf|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>新建文件</source>
        <translation>New file</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>DMM模式</source>
        <translation>DMM mode</translation>
    </message>
    <message>
        <source>DSO模式</source>
        <translation>DSO mode</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>DMM记录</source>
        <translation>DMM record</translation>
    </message>
    <message>
        <source>波形</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>FFT频谱</source>
        <translation>FFT spectrum</translation>
    </message>
    <message>
        <source>水平光标</source>
        <translation>Horizontal cursors</translation>
    </message>
    <message>
        <source>垂直光标</source>
        <translation>Vertical cursors</translation>
    </message>
    <message>
        <source>&amp;File   </source>
        <translation>&amp;File   </translation>
    </message>
    <message>
        <source>&amp;New    </source>
        <translation>&amp;New    </translation>
    </message>
    <message>
        <source>&amp;Open      </source>
        <translation>&amp;Open      </translation>
    </message>
    <message>
        <source>&amp;Save   </source>
        <translation>&amp;Save   </translation>
    </message>
    <message>
        <source>Save &amp;as     </source>
        <translation>Save &amp;as     </translation>
    </message>
    <message>
        <source>&amp;Print     </source>
        <translation>&amp;Print     </translation>
    </message>
    <message>
        <source>导出(&amp;T)</source>
        <translation>Expor&amp;t</translation>
    </message>
    <message>
        <source>波形 CSV…</source>
        <translation>Waveform CSV…</translation>
    </message>
    <message>
        <source>频谱 CSV…</source>
        <translation>Spectrum CSV…</translation>
    </message>
    <message>
        <source>图片 PNG…</source>
        <translation>Picture PNG…</translation>
    </message>
    <message>
        <source>图片 SVG…</source>
        <translation>Picture SVG…</translation>
    </message>
    <message>
        <source>图片 PDF…</source>
        <translation>Picture PDF…</translation>
    </message>
    <message>
        <source>记录 CSV…</source>
        <translation>Record CSV…</translation>
    </message>
    <message>
        <source>E&amp;xit   </source>
        <translation>E&amp;xit   </translation>
    </message>
    <message>
        <source>&amp;Edit   </source>
        <translation>&amp;Edit   </translation>
    </message>
    <message>
        <source>&amp;Copy           </source>
        <translation>&amp;Copy           </translation>
    </message>
    <message>
        <source>&amp;Comm   </source>
        <translation>&amp;Comm   </translation>
    </message>
    <message>
        <source>&amp;Link   </source>
        <translation>&amp;Link   </translation>
    </message>
    <message>
        <source>&amp;Break  </source>
        <translation>&amp;Break  </translation>
    </message>
    <message>
        <source>COM&amp;%1</source>
        <translation>COM&amp;%1</translation>
    </message>
    <message>
        <source>其他端口(&amp;O)…</source>
        <translation>&amp;Other port…</translation>
    </message>
    <message>
        <source>&amp;Run    </source>
        <translation>&amp;Run    </translation>
    </message>
    <message>
        <source>&amp;Stop   </source>
        <translation>&amp;Stop   </translation>
    </message>
    <message>
        <source>DM&amp;M</source>
        <translation>DM&amp;M</translation>
    </message>
    <message>
        <source>DS&amp;O</source>
        <translation>DS&amp;O</translation>
    </message>
    <message>
        <source>&amp;Record    </source>
        <translation>&amp;Record    </translation>
    </message>
    <message>
        <source>&amp;Start      </source>
        <translation>&amp;Start      </translation>
    </message>
    <message>
        <source>&amp;End        </source>
        <translation>&amp;End        </translation>
    </message>
    <message>
        <source>%1s    </source>
        <translation>%1s    </translation>
    </message>
    <message>
        <source>趋势(&amp;T)…</source>
        <translation>&amp;Trend…</translation>
    </message>
    <message>
        <source>&amp;Wave      </source>
        <translation>&amp;Wave      </translation>
    </message>
    <message>
        <source>&amp;W.form </source>
        <translation>&amp;W.form </translation>
    </message>
    <message>
        <source>&amp;FFT   </source>
        <translation>&amp;FFT   </translation>
    </message>
    <message>
        <source>FFT&amp;Window </source>
        <translation>FFT&amp;Window </translation>
    </message>
    <message>
        <source>&amp;Rectangular</source>
        <translation>&amp;Rectangular</translation>
    </message>
    <message>
        <source>Ha&amp;nning</source>
        <translation>Ha&amp;nning</translation>
    </message>
    <message>
        <source>Ha&amp;mming</source>
        <translation>Ha&amp;mming</translation>
    </message>
    <message>
        <source>&amp;Blackman</source>
        <translation>&amp;Blackman</translation>
    </message>
    <message>
        <source>&amp;Flattop</source>
        <translation>&amp;Flattop</translation>
    </message>
    <message>
        <source>&amp;Bartlett</source>
        <translation>&amp;Bartlett</translation>
    </message>
    <message>
        <source>&amp;Spectrum   </source>
        <translation>&amp;Spectrum   </translation>
    </message>
    <message>
        <source>L&amp;inear </source>
        <translation>L&amp;inear </translation>
    </message>
    <message>
        <source>&amp;LOG    </source>
        <translation>&amp;LOG    </translation>
    </message>
    <message>
        <source>&amp;Help   </source>
        <translation>&amp;Help   </translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Help Topics</translation>
    </message>
    <message>
        <source>&amp;About  </source>
        <translation>&amp;About  </translation>
    </message>
    <message>
        <source>无法读取此文件</source>
        <translation>This file cannot be read</translation>
    </message>
    <message>
        <source>帧 %1/%2, %3</source>
        <translation>frame %1/%2, %3</translation>
    </message>
</context>
<context>
    <name>ScopeItems</name>
    <message>
        <source>峰值读数</source>
        <translation>Peak readout</translation>
    </message>
    <message>
        <source>测量…</source>
        <translation>Measurements…</translation>
    </message>
    <message>
        <source>参考波形</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>保留此波形</source>
        <translation>Keep this trace</translation>
    </message>
    <message>
        <source>打开参考文件…</source>
        <translation>Open reference file…</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>上一帧</source>
        <translation>Previous frame</translation>
    </message>
    <message>
        <source>下一帧</source>
        <translation>Next frame</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::DeviceDialog</name>
    <message>
        <source>其他端口</source>
        <translation>Other port</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>制造商</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>厂商 ID</source>
        <translation>Vendor ID</translation>
    </message>
    <message>
        <source>产品 ID</source>
        <translation>Product ID</translation>
    </message>
    <message>
        <source>刷新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>设备路径:</source>
        <translation>Device path:</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::LogEditor</name>
    <message>
        <source>编辑记录</source>
        <translation>Edit record</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::LogView</name>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>编辑…</source>
        <translation>Edit…</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::MainWindow</name>
    <message>
        <source>编辑记录…</source>
        <translation>Edit record…</translation>
    </message>
    <message>
        <source>波形注释</source>
        <translation>Waveform note</translation>
    </message>
    <message>
        <source>DSO窗口</source>
        <translation>DSO window</translation>
    </message>
    <message>
        <source>DMM数字窗口</source>
        <translation>DMM digits</translation>
    </message>
    <message>
        <source>DMM记录窗口</source>
        <translation>DMM record</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::MeasurementsPanel</name>
    <message>
        <source>测量</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>测量项</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>没有波形</source>
        <translation>No waveform</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::MqttDialog</name>
    <message>
        <source>MQTT 设置</source>
        <translation>MQTT Settings</translation>
    </message>
    <message>
        <source>代理地址 (URL):</source>
        <translation>Broker (URL):</translation>
    </message>
    <message>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>记住密码</source>
        <translation>Remember the password</translation>
    </message>
    <message>
        <source>0 - 最多一次</source>
        <translation>0 - at most once</translation>
    </message>
    <message>
        <source>1 - 至少一次 (确认)</source>
        <translation>1 - at least once (acknowledged)</translation>
    </message>
    <message>
        <source>服务质量 (QoS):</source>
        <translation>Quality of service (QoS):</translation>
    </message>
    <message>
        <source>CA 证书:</source>
        <translation>CA certificate:</translation>
    </message>
    <message>
        <source>客户端证书:</source>
        <translation>Client certificate:</translation>
    </message>
    <message>
        <source>客户端私钥:</source>
        <translation>Client key:</translation>
    </message>
    <message>
        <source>默认: qvlink-主机名-window</source>
        <translation>Default: qvlink-hostname-window</translation>
    </message>
    <message>
        <source>客户端 ID:</source>
        <translation>Client ID:</translation>
    </message>
    <message>
        <source>代理不可达时最多保留的消息数，满时丢弃最旧的</source>
        <translation>Messages kept while the broker cannot be reached; when full, the oldest are dropped</translation>
    </message>
    <message>
        <source>队列长度:</source>
        <translation>Queue length:</translation>
    </message>
    <message>
        <source>发布 Home Assistant 自动发现配置</source>
        <translation>Publish Home Assistant discovery configs</translation>
    </message>
</context>
<context>
    <name>qv::app::qt::MqttPublishing</name>
    <message>
        <source>MQTT…</source>
        <translation>MQTT…</translation>
    </message>
    <message>
        <source>发布到 MQTT</source>
        <translation>Publish to MQTT</translation>
    </message>
    <message>
        <source>MQTT 设置有误:</source>
        <translation>The MQTT settings are wrong:</translation>
    </message>
    <message>
        <source>无法连接 MQTT 代理:</source>
        <translation>Cannot connect to the MQTT broker:</translation>
    </message>
    <message>
        <source>MQTT: 未发布</source>
        <translation>MQTT: not publishing</translation>
    </message>
    <message>
        <source>MQTT: 已连接到 %1</source>
        <translation>MQTT: connected to %1</translation>
    </message>
    <message>
        <source>MQTT: 正在连接 %1</source>
        <translation>MQTT: connecting to %1</translation>
    </message>
    <message>
        <source>MQTT: 与 %1 的连接已断开，正在重试 (%2)</source>
        <translation>MQTT: connection to %1 lost, retrying (%2)</translation>
    </message>
    <message>
        <source>MQTT: 无法连接 %1 (%2)</source>
        <translation>MQTT: cannot connect to %1 (%2)</translation>
    </message>
</context>
<context>
    <name>qv::dso::MeasurementText</name>
    <message>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>幅度</source>
        <translation>Amplitude</translation>
    </message>
    <message>
        <source>平均值</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>周期有效值</source>
        <translation>Cycle RMS</translation>
    </message>
    <message>
        <source>周期</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>正脉宽</source>
        <translation>Positive width</translation>
    </message>
    <message>
        <source>负脉宽</source>
        <translation>Negative width</translation>
    </message>
    <message>
        <source>占空比</source>
        <translation>Duty cycle</translation>
    </message>
    <message>
        <source>上升时间</source>
        <translation>Rise time</translation>
    </message>
    <message>
        <source>下降时间</source>
        <translation>Fall time</translation>
    </message>
    <message>
        <source>过冲</source>
        <translation>Overshoot</translation>
    </message>
    <message>
        <source>下冲</source>
        <translation>Undershoot</translation>
    </message>
    <message>
        <source>量程未知</source>
        <translation>Unknown scale</translation>
    </message>
    <message>
        <source>波形超出屏幕边缘</source>
        <translation>Clipped trace at the screen&apos;s edge</translation>
    </message>
    <message>
        <source>中间电平交越少于两次</source>
        <translation>Fewer than two crossings</translation>
    </message>
    <message>
        <source>没有完整的上升沿</source>
        <translation>No whole rising edge</translation>
    </message>
    <message>
        <source>没有完整的下降沿</source>
        <translation>No whole falling edge</translation>
    </message>
    <message>
        <source>波形平坦，没有幅度</source>
        <translation>Flat trace</translation>
    </message>
</context>
<context>
    <name>qv::trend::qt::TrendStatisticsTable</name>
    <message>
        <source>个数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>平均值</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>标准差</source>
        <translation>Std. dev.</translation>
    </message>
    <message>
        <source>最新值</source>
        <translation>Latest</translation>
    </message>
    <message>
        <source>显示范围</source>
        <translation>Shown</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
</context>
<context>
    <name>qv::trend::qt::TrendWindow</name>
    <message>
        <source>趋势 - QVLINK</source>
        <translation>Trend - QVLINK</translation>
    </message>
    <message>
        <source>实时读数</source>
        <translation>Live readings</translation>
    </message>
    <message>
        <source>最新</source>
        <translation>Latest</translation>
    </message>
    <message>
        <source>实时</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>记录窗口</source>
        <translation>Record window</translation>
    </message>
    <message>
        <source>打开文件…</source>
        <translation>Open file…</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>跟随</source>
        <translation>Follow</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>图片 (PNG)…</source>
        <translation>Picture (PNG)…</translation>
    </message>
    <message>
        <source>图片 (SVG)…</source>
        <translation>Picture (SVG)…</translation>
    </message>
    <message>
        <source>数据点 (CSV)…</source>
        <translation>Points (CSV)…</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>清除趋势中的 %1 个读数?</source>
        <translation>Clear the %1 readings of the trend?</translation>
    </message>
    <message>
        <source>趋势</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>%1 中没有带时间的读数。</source>
        <translation>%1 holds no timed readings.</translation>
    </message>
    <message>
        <source>DMM文档文件(*.txt)|*.txt|记录 CSV(*.csv)|*.csv|所有文件(*.*)|*.*</source>
        <translation>DMM text files(*.txt)|*.txt|Record CSV(*.csv)|*.csv|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>%1 无法读取。</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source> 已经存在。要替换它吗?</source>
        <translation> already exists. Replace it?</translation>
    </message>
    <message>
        <source>%1 保存失败: %2</source>
        <translation>%1: Save failed: %2</translation>
    </message>
    <message>
        <source>SVG图片(*.svg)|*.svg</source>
        <translation>SVG pictures(*.svg)|*.svg</translation>
    </message>
    <message>
        <source>PNG图片(*.png)|*.png</source>
        <translation>PNG pictures(*.png)|*.png</translation>
    </message>
    <message>
        <source>CSV数据点(*.csv)|*.csv</source>
        <translation>CSV points(*.csv)|*.csv</translation>
    </message>
</context>
</TS>
