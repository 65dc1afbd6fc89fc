module.exports = `# CC-CEDICT
#! entries=2
書 书 [shu1] /book/letter/
畫蛇添足 画蛇添足 [hua4 she2 tian1 zu2] /(idiom) to overdo it/
`;
