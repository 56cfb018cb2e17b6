#include "portal/city_page.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <utility>

#include "portal/gbk.h"

namespace qc::portal {
namespace {

using Values = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// Replaces each {key} of a UTF-8 template.
std::string Fill(std::string_view pattern, Values values) {
  std::string out(pattern);
  for (const auto& [key, value] : values) {
    for (std::size_t at = out.find(key); at != std::string::npos;
         at = out.find(key, at + value.size()))
      out.replace(at, key.size(), value);
  }
  return out;
}

void Require(bool condition, const char* what) {
  if (!condition)
    throw std::logic_error(std::string("city page template: ") + what);
}

// The page is assembled in GBK from the start, because every position clients rely on counts
// GBK bytes.
class PageWriter {
 public:
  void Add(std::string_view utf8) { page_ += ToGbk(utf8); }
  std::size_t Size() const { return page_.size(); }
  std::size_t Find(std::string_view utf8, std::size_t from = 0) const {
    return page_.find(ToGbk(utf8), from);
  }
  std::string Take() { return std::move(page_); }

  // Appends filler lines, then `closing`, then an HTML comment of spaces so that the page ends
  // exactly at byte `length`. The lines come from `line(i)` for i = 0, 1, ...
  template <typename LineSource>
  void FillTo(std::size_t length, std::string_view closing, LineSource line) {
    const std::string gbkClosing = ToGbk(closing);
    const std::size_t reserve = gbkClosing.size() + 8;  // "<!--" + "-->\n"
    Require(page_.size() + reserve <= length, "no room left for the filler");
    for (int i = 0;; ++i) {
      std::string next = ToGbk(line(i));
      if (page_.size() + next.size() + reserve > length)
        break;
      page_ += next;
    }
    page_ += gbkClosing;
    page_ += "<!--";
    page_.append(length - page_.size() - 4, ' ');
    page_ += "-->\n";
  }

 private:
  std::string page_;
};

struct Province {
  std::string_view name;
  std::string_view slug;
};
constexpr Province kProvinces[] = {
    {"北京", "beijing"}, {"天津", "tianjin"},        {"上海", "shanghai"},    {"重庆", "chongqing"},
    {"河北", "hebei"},   {"山西", "shanxi"},         {"内蒙古", "neimenggu"}, {"辽宁", "liaoning"},
    {"吉林", "jilin"},   {"黑龙江", "heilongjiang"}, {"江苏", "jiangsu"},     {"浙江", "zhejiang"},
    {"安徽", "anhui"},   {"福建", "fujian"},         {"江西", "jiangxi"},     {"山东", "shandong"},
    {"河南", "henan"},   {"湖北", "hubei"},          {"湖南", "hunan"},       {"广东", "guangdong"},
    {"广西", "guangxi"}, {"海南", "hainan"},         {"四川", "sichuan"},     {"贵州", "guizhou"},
    {"云南", "yunnan"},  {"西藏", "xizang"},         {"陕西", "shaanxi"},     {"甘肃", "gansu"},
    {"青海", "qinghai"}, {"宁夏", "ningxia"},        {"新疆", "xinjiang"},    {"香港", "xianggang"},
    {"澳门", "aomen"},   {"台湾", "taiwan"},
};

std::string_view ProvinceSlug(std::string_view name) {
  for (const Province& province : kProvinces) {
    if (province.name == name)
      return province.slug;
  }
  return "qita";
}

struct Station {
  std::string_view name;
  std::string_view pinyin;
};
// The index the page's search box completes from; it also fills the head up to the title.
constexpr Station kStations[] = {
    {"岳阳", "yueyang"},        {"长沙", "changsha"},      {"株洲", "zhuzhou"},
    {"湘潭", "xiangtan"},       {"衡阳", "hengyang"},      {"常德", "changde"},
    {"益阳", "yiyang"},         {"郴州", "chenzhou"},      {"永州", "yongzhou"},
    {"怀化", "huaihua"},        {"娄底", "loudi"},         {"邵阳", "shaoyang"},
    {"张家界", "zhangjiajie"},  {"吉首", "jishou"},        {"武汉", "wuhan"},
    {"荆州", "jingzhou"},       {"宜昌", "yichang"},       {"襄阳", "xiangyang"},
    {"黄石", "huangshi"},       {"十堰", "shiyan"},        {"南昌", "nanchang"},
    {"九江", "jiujiang"},       {"赣州", "ganzhou"},       {"北京", "beijing"},
    {"天津", "tianjin"},        {"上海", "shanghai"},      {"重庆", "chongqing"},
    {"杭州", "hangzhou"},       {"宁波", "ningbo"},        {"温州", "wenzhou"},
    {"南京", "nanjing"},        {"苏州", "suzhou"},        {"无锡", "wuxi"},
    {"广州", "guangzhou"},      {"深圳", "shenzhen"},      {"珠海", "zhuhai"},
    {"成都", "chengdu"},        {"绵阳", "mianyang"},      {"昆明", "kunming"},
    {"大理", "dali"},           {"拉萨", "lasa"},          {"日喀则", "rikaze"},
    {"西安", "xian"},           {"宝鸡", "baoji"},         {"哈尔滨", "haerbin"},
    {"齐齐哈尔", "qiqihaer"},   {"长春", "changchun"},     {"沈阳", "shenyang"},
    {"大连", "dalian"},         {"郑州", "zhengzhou"},     {"济南", "jinan"},
    {"青岛", "qingdao"},        {"合肥", "hefei"},         {"福州", "fuzhou"},
    {"厦门", "xiamen"},         {"南宁", "nanning"},       {"桂林", "guilin"},
    {"贵阳", "guiyang"},        {"海口", "haikou"},        {"三亚", "sanya"},
    {"兰州", "lanzhou"},        {"西宁", "xining"},        {"银川", "yinchuan"},
    {"乌鲁木齐", "wulumuqi"},   {"呼和浩特", "huhehaote"}, {"太原", "taiyuan"},
    {"石家庄", "shijiazhuang"},
};

constexpr std::string_view kForecastHeadings[] = {"14日周六", "15日周日", "16日周一", "17日周二",
                                                  "18日周三"};
constexpr std::string_view kChineseCounts[] = {"一", "二", "三", "四", "五"};
constexpr std::string_view kIndexNames[] = {"穿衣", "紫外线", "洗车", "感冒"};

constexpr std::string_view kHead =
    R"HTML(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />
<meta http-equiv="X-UA-Compatible" content="IE=7" />
<meta http-equiv="Cache-Control" content="no-transform" />
<title>{city}天气预报_{city}天气查询_{province}{city}一周天气 - 云图气象</title>
<meta name="keywords" content="{city}天气,{city}天气预报,{city}今天天气,{province}天气,{city}空气质量,{city}生活指数" />
<meta name="description" content="云图气象为您提供{city}今天、明天及未来一周的天气预报，包括气温、风向风力、湿度、日出日落时间和生活指数，每日多次更新。" />
<link rel="shortcut icon" href="/favicon.ico" />
<link rel="stylesheet" type="text/css" href="/css/yb3/base.css?v=20121106" />
<style type="text/css">
body,div,dl,dt,dd,ul,ol,li,h1,h2,h3,h4,h5,h6,pre,form,fieldset,input,textarea,p,blockquote,th,td{margin:0;padding:0}
body{font:12px/1.5 "宋体",Arial,sans-serif;color:#333;background:#eef3f8 url(/images/yb3/bg_body.gif) repeat-x}
a{color:#1f4f86;text-decoration:none}a:hover{color:#c00;text-decoration:underline}
ul,ol{list-style:none}img{border:0}table{border-collapse:collapse;border-spacing:0}
.clearfix:after{content:".";display:block;height:0;clear:both;visibility:hidden}.clearfix{zoom:1}
#topbar{height:28px;line-height:28px;background:#f5f5f5;border-bottom:1px solid #ddd}
#topbar .inner{width:960px;margin:0 auto;color:#666}#topbar .inner a{margin:0 6px;color:#666}
#header{width:960px;height:86px;margin:0 auto;position:relative}
#header .logo{position:absolute;left:0;top:14px;width:220px;height:58px;background:url(/images/yb3/logo.png) no-repeat}
#header .search{position:absolute;right:0;top:24px;width:420px}
#header .search .ipt{width:300px;height:26px;line-height:26px;border:1px solid #7fa6cf;padding:0 6px;font-size:14px}
#header .search .btn{width:80px;height:28px;border:0;background:url(/images/yb3/btn_search.png) no-repeat;cursor:pointer}
#nav{height:36px;background:#2d6db5 url(/images/yb3/bg_nav.png) repeat-x}
#nav ul{width:960px;margin:0 auto}#nav li{float:left;height:36px;line-height:36px}
#nav li a{display:block;padding:0 16px;color:#fff;font-size:14px;font-weight:bold}
#nav li.on a,#nav li a:hover{background:#1b4f8c;text-decoration:none}
#hotcity,#provinces{width:958px;margin:8px auto 0;border:1px solid #c8d8ea;background:#fff;padding:6px 0}
#hotcity dt,#provinces dt{float:left;width:80px;text-align:center;font-weight:bold;color:#2d6db5}
#hotcity dd a,#provinces dd a{float:left;margin:0 7px;white-space:nowrap}
#wrap{width:960px;margin:10px auto 0}
.city-hd{height:48px;border:1px solid #c8d8ea;background:#f7fbff;padding:0 12px}
.city-hd h3{float:left;font:bold 24px/48px "黑体";color:#1b4f8c}.city-date{float:left;margin-left:16px;line-height:48px;color:#666}
.city-tools{float:right;line-height:48px}.crumbs{height:28px;line-height:28px;color:#888}
.ad-banner{height:90px;overflow:hidden;margin-bottom:8px;background:#f3f3f3}
.loading{height:24px;line-height:24px;text-align:center;color:#999}
.col-left{float:left;width:230px}.col-right{float:right;width:720px}
.box{border:1px solid #c8d8ea;background:#fff;margin-bottom:10px}
.box-hd{height:30px;line-height:30px;background:#eaf2fb;border-bottom:1px solid #c8d8ea;padding:0 8px}
.box-hd h2{float:left;font-size:14px;color:#1b4f8c}.box-sub{float:right;color:#999}
.nb-list li{height:32px;line-height:32px;border-bottom:1px dashed #dde6f0;padding:0 8px}
.nb-name{float:left;width:60px;font-weight:bold}.nb-tmp{float:left;width:70px;font-style:normal}
.nb-ico{float:left;width:25px;height:25px;margin-top:3px;background:url(/images/yb3/nb_sprite.png) no-repeat}
.nb-go{float:right;color:#999}.box-more{text-align:right;padding:4px 8px}
.crumb-bar{height:34px;border-bottom:2px solid #2d6db5}.crumb-bar h3{font-size:16px;line-height:34px}
.crumb-bar .cur{color:#c00;margin:0 4px}.crumb-bar .pub{font:normal 12px "宋体";color:#888}
.today{border:1px solid #c8d8ea;background:#fff url(/images/yb3/bg_today.jpg) no-repeat;margin-top:10px}
.t-half{float:left;width:358px;height:260px}.t-half h2{font-size:16px;padding:8px 12px}
.t-ico{float:left;width:180px;height:180px;margin-left:10px}.t-info{float:left;width:150px;padding-top:30px}
.t-info li{line-height:26px;font-size:14px}.t-tmp{font-size:28px;color:#e65a00}.t-lbl{color:#888;margin-right:6px}
.info{margin-top:10px}.sun{float:left;width:300px}.idx{float:right;width:410px}
.sun table,.idx table{width:100%;border:1px solid #c8d8ea;background:#fff}
.sun caption{text-align:left;font-weight:bold;padding:4px 8px;color:#1b4f8c}
.sun td,.idx td,.idx th{height:26px;border:1px solid #e3ebf5;padding:0 8px}
.fc{margin-top:10px;border:1px solid #c8d8ea;background:#fff}.fc-hd{height:32px;line-height:32px;background:#eaf2fb;padding:0 10px}
.fc-hd h2{float:left;font-size:14px;color:#1b4f8c}.fc-sub{float:right;color:#999}
.fc-day{float:left;width:176px;border-right:1px solid #e3ebf5;padding:8px 0;text-align:center}
.fc-day h4{font-size:14px;color:#1b4f8c}.fc-half{float:left;width:88px}.fc-half h5{color:#888;font-weight:normal}
.fc-ico{display:block;width:78px;height:78px;margin:4px auto}.fc-tmp{color:#e65a00;font-weight:bold}
.sms{margin-top:10px;padding:8px 12px;border:1px dashed #f0b060;background:#fffbe9}
.news li{line-height:24px;background:url(/images/yb3/dot.gif) no-repeat 0 10px;padding-left:10px}
.airport{margin-top:10px;border:1px solid #c8d8ea;background:#fff}.airport h2{font-size:14px;padding:4px 8px}
#footer{width:960px;margin:16px auto;padding-top:10px;border-top:1px solid #c8d8ea;text-align:center;color:#888;line-height:24px}
</style>
<script type="text/javascript">
var SITE = {
  host: "/",
  city: "{city}",
  province: "{province}",
  imgPath: "/images/yb3/",
  refresh: 1800,
  version: "20121106"
};
function $(id) { return document.getElementById(id); }
function addFav(url, title) {
  try { window.external.addFavorite(url, title); }
  catch (e) { try { window.sidebar.addPanel(title, url, ""); } catch (e2) { alert("请使用 Ctrl+D 收藏本页"); } }
}
function doSearch(form) {
  var v = form.city.value.replace(/^\s+|\s+$/g, "");
  if (v == "" || v == "输入城市名") { alert("请输入城市名称"); return false; }
  return true;
}
</script>
</head>
<body>
<div id="topbar"><div class="inner">欢迎访问云图气象！ <a href="/">设为首页</a>|<a href="javascript:addFav(location.href,document.title);">加入收藏</a>|<a href="/m/">手机版</a>|<a href="/help/">帮助</a></div></div>
<div id="header">
<a class="logo" href="/"></a>
<form class="search" action="/search.php" method="get" onsubmit="return doSearch(this);">
<input type="hidden" name="f" value="1" /><input type="hidden" name="c" value="1" /><input type="hidden" name="dpc" value="1" />
<input class="ipt" type="text" name="city" value="输入城市名" onfocus="if(this.value=='输入城市名')this.value='';" />
<input class="btn" type="submit" value="" />
</form>
</div>
<div id="nav"><ul>
<li class="on"><a href="/">首页</a></li><li><a href="/china/">国内天气</a></li><li><a href="/world/">国际天气</a></li><li><a href="/radar/">雷达云图</a></li><li><a href="/warning/">预警信息</a></li><li><a href="/air/">空气质量</a></li><li><a href="/life/">生活气象</a></li><li><a href="/travel/">旅游天气</a></li><li><a href="/news/">气象资讯</a></li>
</ul></div>
)HTML";

std::string HotCities() {
  std::string out = "<dl id=\"hotcity\" class=\"clearfix\"><dt>热门城市</dt><dd>\n";
  for (const CityRecord& city : Cities())
    out += Fill("<a href=\"/search.php?f=1&c=1&city={city}&dpc=1\">{city}</a>\n",
                {{"{city}", city.name}});
  return out + "</dd></dl>\n";
}

std::string ProvinceDirectory() {
  std::string out = "<dl id=\"provinces\" class=\"clearfix\"><dt>省份直达</dt><dd>\n";
  for (const Province& province : kProvinces)
    out += Fill("<a href=\"/sheng/{slug}.html\">{name}</a>\n",
                {{"{slug}", province.slug}, {"{name}", province.name}});
  return out + "</dd></dl>\n";
}

std::string StationLine(int i) {
  const Station& station = kStations[static_cast<std::size_t>(i) % std::size(kStations)];
  char id[16];
  std::snprintf(id, sizeof id, "%d", 10100 + i);
  return Fill("[{id},\"{name}\",\"{pinyin}\"],\n",
              {{"{id}", id}, {"{name}", station.name}, {"{pinyin}", station.pinyin}});
}

std::string AdLine(int i) {
  char line[96];
  std::snprintf(line, sizeof line, "adQueue.push({slot:\"top\",w:960,h:90,seq:%d});\n", i);
  return line;
}

std::string BeaconLine(int i) {
  char line[96];
  std::snprintf(line, sizeof line, "_stat.push([\"_trackEvent\",\"city\",\"view\",%d]);\n", i);
  return line;
}

std::string TitleTag(const CityRecord& city, TitleStyle style) {
  switch (style) {
    case TitleStyle::CityAndProvince:
      return "<h3 class=\"city-name\" title=\"" + city.name + "(" + city.province + ")\">";
    case TitleStyle::NameOnly:
      return "<h3 class=\"city-name\" title=\"" + city.name + "\">";
    case TitleStyle::Missing:
      return "<h3 class=\"city-name\">";
  }
  return {};
}

const CityRecord& Neighbour(const std::string& name) {
  const CityRecord* city = FindCity(name);
  Require(city != nullptr, "a nearby city is not in the table");
  return *city;
}

// A nearby row shows the neighbour's own today: night to day temperature, and its day
// condition, followed by "转" and the night one when they differ.
std::string NearbyRowHtml(const CityRecord& neighbour) {
  const TodayRecord& today = neighbour.today;
  std::string condition = today.dayCondition;
  if (today.nightCondition != today.dayCondition)
    condition += "转" + today.nightCondition;
  return Fill(
      "<li><a href=\"/search.php?f=1&c=1&city={city}&dpc=1\" target=\"_blank\"><span "
      "class=\"nb-name\">{city}</span><em class=\"nb-tmp\">{low}~{high}℃</em></a><i "
      "class=\"nb-ico\" title=\"{condition}\"></i><a class=\"nb-go\" "
      "href=\"javascript:void(0);\" title=\"查看{city}七天预报\">详情</a></li>\n",
      {{"{city}", neighbour.name},
       {"{low}", today.nightTemperature},
       {"{high}", today.dayTemperature},
       {"{condition}", condition}});
}

// The portal has no picture named zhenxue; its today block shows the light-snow one instead.
std::string TodayIcon(std::string_view condition) {
  std::string_view icon = ConditionIconName(condition);
  Require(!icon.empty(), "a today condition has no icon");
  return icon == "zhenxue" ? "xiaoxue" : std::string(icon);
}

int Minutes(const std::string& clock) {
  int hours = 0;
  int minutes = 0;
  Require(std::sscanf(clock.c_str(), "%d:%d", &hours, &minutes) == 2, "a clock time is not HH:MM");
  return hours * 60 + minutes;
}

std::string Duration(int minutes) {
  char text[32];
  std::snprintf(text, sizeof text, "%d小时%02d分", minutes / 60, minutes % 60);
  return text;
}

std::string ForecastDayHtml(const ForecastDay& day, std::size_t index) {
  std::string dayIcon = day.dayIcon;
  if (dayIcon.empty())
    dayIcon = std::string(ConditionIconName(day.dayCondition));
  Require(!dayIcon.empty(), "a forecast day has no daytime icon");
  Require(!ConditionIconName(day.nightCondition).empty(),
          "a night-time forecast condition is outside the icon vocabulary");
  return Fill(R"HTML(<div class="fc-day">
<h4>{heading}</h4>
<div class="fc-half">
<h5>白天</h5>
<i class="fc-ico" style="background:url(/images/yb3/78_78/{icon}.png) no-repeat"></i>
<ul>
<li>{dayCondition}</li>
<li class="fc-tmp">{dayTemperature}</li>
<li>{dayWind}</li>
<li>{dayForce}</li>
</ul>
</div>
<div class="fc-half">
<h5>夜间</h5>
<ul>
<li>{nightCondition}</li>
<li class="fc-tmp">{nightTemperature}</li>
<li>{nightWind}</li>
<li>{nightForce}</li>
</ul>
</div>
</div>
)HTML",
              {{"{heading}", kForecastHeadings[index]},
               {"{icon}", dayIcon},
               {"{dayCondition}", day.dayCondition},
               {"{dayTemperature}", day.dayTemperature},
               {"{dayWind}", day.dayWind},
               {"{dayForce}", day.dayForce},
               {"{nightCondition}", day.nightCondition},
               {"{nightTemperature}", day.nightTemperature},
               {"{nightWind}", day.nightWind},
               {"{nightForce}", day.nightForce}});
}

void AddContent(PageWriter& page, const CityRecord& city) {
  page.Add(R"HTML(载入中，请稍候……</div>
<div id="main" class="clearfix">
<div class="col-left">
<div class="box box-nearby">
<div class="box-hd"><h2>附近城市</h2><span class="box-sub">今日天气</span></div>
<ul class="nb-list">
)HTML");
  if (city.nearby.empty())
    page.Add("<li class=\"nb-none\">暂无数据</li>\n");
  for (const std::string& name : city.nearby)
    page.Add(NearbyRowHtml(Neighbour(name)));
  page.Add(R"HTML(</ul>
<p class="box-more"><a href="/nearby/">更多周边城市 &gt;&gt;</a></p>
</div>
<div class="box box-hot">
<div class="box-hd"><h2>热门景点天气</h2></div>
<ul class="news">
<li><a href="/travel/zhangjiajie.html">张家界</a> 多云 3~10℃</li>
<li><a href="/travel/huangshan.html">黄山</a> 小雪 -6~2℃</li>
<li><a href="/travel/sanya.html">三亚</a> 晴 20~27℃</li>
<li><a href="/travel/lijiang.html">丽江</a> 晴 -1~14℃</li>
</ul>
</div>
</div>
<!-- 右侧主内容 -->
<div class="col-right">
)HTML");
  const TodayRecord& today = city.today;
  page.Add(Fill(
      R"HTML(<div class="crumb-bar"><h3>{province} <span class="cur">{city}</span><em class="pub"> 12月13日{updated}更新</em></h3></div>
<div class="today clearfix">
<div class="t-half t-day">
<h2>今天白天</h2>
<div class="t-ico"><img src="/images/yb3/180_180/{dayIcon}.png" width="180" height="180" alt="{dayCondition}" /></div>
<ul class="t-info">
<li><b class="t-tmp">{dayTemperature}℃</b></li>
<li><span class="t-lbl">体感</span><b class="t-feel">{felt}℃</b></li>
<li>{dayWind}</li>
<li>{dayLine}</li>
</ul>
</div>
<div class="t-half t-night">
<h2>今天夜间</h2>
<div class="t-ico"><img src="/images/yb3/180_180/{nightIcon}_1.png" width="180" height="180" alt="{nightCondition}" /></div>
<ul class="t-info">
<li><b class="t-tmp">{nightTemperature}℃</b></li>
<li>{nightWind}</li>
<li>{nightLine}</li>
</ul>
</div>
</div>
<div class="info clearfix">
<div class="sun">
)HTML",
      {{"{province}", city.province},
       {"{city}", city.name},
       {"{updated}", city.updated},
       {"{dayIcon}", TodayIcon(today.dayCondition)},
       {"{dayCondition}", today.dayCondition},
       {"{dayTemperature}", today.dayTemperature},
       {"{felt}", today.feltTemperature},
       {"{dayWind}", today.dayWind},
       {"{dayLine}", today.dayLine},
       {"{nightIcon}", TodayIcon(today.nightCondition)},
       {"{nightCondition}", today.nightCondition},
       {"{nightTemperature}", today.nightTemperature},
       {"{nightWind}", today.nightWind},
       {"{nightLine}", today.nightLine}}));

  const int daylight = Minutes(city.sunset) - Minutes(city.sunrise);
  const std::size_t tableStart = page.Size();
  page.Add(Fill(R"HTML(<table>
<caption>日出日落时间</caption>
<tr><td>日出{space}{sunrise}</td><td>日落{space}{sunset}</td></tr>
<tr><td>昼长{space}{day}</td></tr>
</table>
</div>
<div class="idx">
<!-- 生活指数 begin -->
<table>
<tr><th colspan="2">生活指数</th></tr>
)HTML",
                {{"{space}", city.sunSpace},
                 {"{sunrise}", city.sunrise},
                 {"{sunset}", city.sunset},
                 {"{day}", Duration(daylight)}}));
  // Clients take the sunrise table to begin 17 bytes before its caption.
  Require(page.Find("日出日落时间", tableStart) == tableStart + 17,
          "the sunrise table does not begin 17 bytes before its marker");
  for (std::size_t i = 0; i < city.livingIndex.size(); ++i)
    page.Add(Fill("<tr><td>{name}</td><td>{value}</td></tr>\n",
                  {{"{name}", kIndexNames[i]}, {"{value}", city.livingIndex[i]}}));
  Require(!city.days.empty() && city.days.size() <= std::size(kForecastHeadings),
          "a city has no forecast, or more days than there are headings");
  page.Add(Fill(R"HTML(</table>
<!-- 生活指数 end -->
</div>
</div>
<div class="fc">
<div class="fc-hd"><h2>未来{count}天天气预报</h2><span class="fc-sub">每日07:30、17:30更新</span></div>
<div class="fc-list clearfix">
)HTML",
                {{"{count}", kChineseCounts[city.days.size() - 1]}}));
  for (std::size_t i = 0; i < city.days.size(); ++i)
    page.Add(ForecastDayHtml(city.days[i], i));
  page.Add(R"HTML(</div>
</div>
<div class="sms"><a href="/sms/">订阅天气短信</a>：每天早晚两次，把天气预报发送到您的手机。</div>
<div class="box news-box">
<div class="box-hd"><h2>气象资讯</h2></div>
<ul class="news">
<li><a href="/news/1213a.html">寒潮继续南下 江南华南气温将创入冬新低</a></li>
<li><a href="/news/1213b.html">华北黄淮雾霾天气明起减弱</a></li>
<li><a href="/news/1213c.html">东北地区有小到中雪 局地大雪</a></li>
<li><a href="/news/1213d.html">冬季出行注意防寒保暖</a></li>
</ul>
</div>
<div class="airport">
<h2>机场天气滚动</h2>
)HTML");
}

void AddFooter(PageWriter& page, const CityRecord& city) {
  std::string airports = "<marquee scrollamount=\"2\">";
  for (const CityRecord& other : Cities())
    airports += other.name + "机场 " + other.today.dayCondition + " " +
                other.today.nightTemperature + "~" + other.today.dayTemperature + "℃　";
  page.Add(airports + "</marquee>\n</div>\n</div>\n</div>\n");
  page.Add(Fill(R"HTML(<div id="footer">
<p><a href="/about/">关于我们</a> | <a href="/contact/">联系方式</a> | <a href="/ads/">广告服务</a> | <a href="/sitemap/">网站地图</a> | <a href="/disclaimer/">免责声明</a> | <a href="/join/">加入我们</a></p>
<p>云图气象 版权所有 本站{city}天气预报数据仅供参考，请以当地气象部门发布为准</p>
</div>
<script type="text/javascript">
var _stat = _stat || [];
_stat.push(["_setAccount", "YT-00031"]);
_stat.push(["_trackPageview", "/search/{slug}"]);
)HTML",
                {{"{city}", city.name}, {"{slug}", ProvinceSlug(city.province)}}));
}

}  // namespace

std::string BuildCityPage(const CityRecord& city, const PageVariant& variant) {
  PageWriter page;
  page.Add(Fill(kHead, {{"{city}", city.name}, {"{province}", city.province}}));
  page.Add(HotCities());
  page.Add(ProvinceDirectory());
  page.Add("<script type=\"text/javascript\">\nvar stationIndex = [\n");
  page.FillTo(kTitleTagPosition - 1,
              "[0,\"\",\"\"]];\n</script>\n<div id=\"wrap\">\n<div class=\"city-hd\">",
              StationLine);
  Require(page.Size() + 1 == kTitleTagPosition, "the title tag is not where clients look for it");
  page.Add(TitleTag(city, variant.title));
  page.Add(Fill(R"HTML({city}</h3>
<p class="city-date">2024年12月13日 星期五 农历冬月十三</p>
<div class="city-tools"><a href="javascript:addFav(location.href,document.title);">收藏本页</a> | <a href="javascript:window.print();">打印</a> | <a href="/m/">手机版</a></div>
</div>
<div class="crumbs">当前位置：<a href="/">首页</a> &gt; <a href="/sheng/{slug}.html">{province}</a> &gt; {city}天气预报</div>
<div class="ad-banner">
<script type="text/javascript">
var adQueue = adQueue || [];
)HTML",
                {{"{city}", city.name},
                 {"{province}", city.province},
                 {"{slug}", ProvinceSlug(city.province)}}));
  page.FillTo(kContentStartAfter + 60, "</script>\n</div>\n", AdLine);
  page.Add("<div id=\"loading\" class=\"loading\">数据");
  Require(page.Size() > kContentStartAfter, "the content starts inside the title window");
  AddContent(page, city);
  if (variant.exactLength) {
    page.Add("<script type=\"text/javascript\">\nvar _stat = _stat || [];\n");
    page.FillTo(*variant.exactLength, "</script>\n</div>\n</div>\n</div>\n</body>\n</html>\n",
                BeaconLine);
  } else {
    AddFooter(page, city);
    // Page lengths differ from city to city, as the footer's scripts do on the real thing.
    std::size_t spread = 0;
    for (unsigned char byte : city.name)
      spread = spread * 31 + byte;
    page.FillTo(std::max<std::size_t>(page.Size() + 1200, 32500 + spread % 1500),
                "</script>\n</body>\n</html>\n", BeaconLine);
  }
  return page.Take();
}

const std::string* TableCityPage(std::string_view gbkName) {
  static const std::map<std::string, std::string, std::less<>> pages = [] {
    std::map<std::string, std::string, std::less<>> built;
    for (const CityRecord& city : Cities())
      built.emplace(ToGbk(city.name), BuildCityPage(city));
    return built;
  }();
  auto found = pages.find(gbkName);
  return found == pages.end() ? nullptr : &found->second;
}

}  // namespace qc::portal
